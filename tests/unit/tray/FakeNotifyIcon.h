#pragma once

#include <set>
#include <utility>
#include <vector>

#include "platform/core/MessageWindow.h"
#include "platform/notify/NotifyIcon.h"

namespace fakes {

// A notification area that records every record sent to it and keeps the set
// of icons it shows. Installs itself for its lifetime.
class FakeNotifyIcon : public platform::NotifyIconService {
 public:
  struct Call {
    platform::DWORD message;
    platform::NOTIFYICONDATAA data;
  };
  using Key = std::pair<platform::HWND, platform::UINT>;

  std::vector<Call> calls;
  std::set<Key> shown;
  bool working = true;  // false: every call fails, as with no shell at all
  platform::UINT taskbarCreated = 0xC0A0;

  FakeNotifyIcon() { platform::SetNotifyIcon(this); }
  ~FakeNotifyIcon() override { platform::SetNotifyIcon(nullptr); }

  bool ShellNotifyIcon(platform::DWORD message, const platform::NOTIFYICONDATAA& d) override {
    calls.push_back({message, d});
    if (!working) return false;
    const Key key{d.hWnd, d.uID};
    switch (message) {
      case platform::NIM_ADD:
        shown.insert(key);
        return true;
      case platform::NIM_DELETE:
        return shown.erase(key) > 0;
      case platform::NIM_MODIFY:
      case platform::NIM_SETVERSION:
        return shown.count(key) > 0;
      default:
        return false;
    }
  }
  platform::UINT TaskbarCreatedMessage() override { return taskbarCreated; }

  // The shell started again: it knows no icons, and every window that had one
  // hears the broadcast.
  void RestartShell() {
    std::set<platform::HWND> windows;
    for (const Key& k : shown) windows.insert(k.first);
    shown.clear();
    for (platform::HWND w : windows) platform::SendMessage(w, taskbarCreated, 0, 0);
  }

  const Call& Last() const { return calls.back(); }
  std::vector<Call> Of(platform::DWORD message) const {
    std::vector<Call> out;
    for (const Call& c : calls)
      if (c.message == message) out.push_back(c);
    return out;
  }
};

}  // namespace fakes
