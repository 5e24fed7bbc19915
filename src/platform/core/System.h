#pragma once

#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace platform {

// Facts about the running program and the desktop.
class SystemInfo {
 public:
  virtual ~SystemInfo() = default;
  // Full path of the executable, as /proc/self/exe names it.
  virtual QString ExePath() = 0;
  // The folder that holds the executable, without a trailing separator.
  virtual QString ExeDir() = 0;
  virtual QSize ScreenSize() = 0;
  // False when the pointer position cannot be read.
  virtual bool CursorPos(QPoint& pos) = 0;
  virtual std::uint32_t DoubleClickTime() = 0;
  // Opens a web page or file URL in the default browser; no result.
  virtual void OpenUrl(const QString& url) = 0;
  virtual QStringList FontFamilies() = 0;
};

class LinuxSystemInfo : public SystemInfo {
 public:
  QString ExePath() override;
  QString ExeDir() override;
  QSize ScreenSize() override;
  bool CursorPos(QPoint& pos) override;
  std::uint32_t DoubleClickTime() override;
  void OpenUrl(const QString& url) override;
  QStringList FontFamilies() override;
};

SystemInfo& GetSystem();
void SetSystem(SystemInfo* system);

}  // namespace platform
