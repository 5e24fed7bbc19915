#pragma once

#include <QObject>
#include <functional>
#include <memory>

class QDBusServiceWatcher;
class QSocketNotifier;

namespace platform {

// Tells when a tray host appears after the start or comes back after it went
// away: the owner of the X tray selection (_NET_SYSTEM_TRAY_S<screen>) on a
// connection of our own, and a StatusNotifierWatcher on the session bus.
class TrayHostWatcher : public QObject {
 public:
  TrayHostWatcher();
  ~TrayHostWatcher() override;

  std::function<void()> OnHostAppeared;
  // True while an X tray host owns the selection (false without X).
  bool XHostPresent() const { return xOwner_ != 0; }

 private:
  struct X;
  void StartX();
  void ReadX();
  void WatchXOwner(bool announce);
  void Appeared();

  std::unique_ptr<X> x_;
  QSocketNotifier* notifier_ = nullptr;
  QDBusServiceWatcher* sni_ = nullptr;
  unsigned xOwner_ = 0;
};

}  // namespace platform
