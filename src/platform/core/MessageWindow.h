#pragma once

#include <functional>

#include "platform/core/Types.h"

namespace platform {

using WindowProc = std::function<LRESULT(UINT msg, WPARAM wParam, LPARAM lParam)>;

// A hidden window: a handle that messages can be posted to, and a window
// procedure that receives them on the user-interface thread. Handles are never
// reused, so a message posted to a window that is gone is simply dropped.
class MessageWindow {
 public:
  explicit MessageWindow(WindowProc proc);
  ~MessageWindow();
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;

  HWND Handle() const { return handle_; }

 private:
  HWND handle_;
};

// Safe from any thread. The message is delivered on the user-interface thread,
// in posting order. False when the handle names no window or no event loop exists.
bool PostMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

// Calls the window procedure at once (user-interface thread only). An exception
// that escapes it reaches the default exception handler; the result is then 0.
LRESULT SendMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

// The default handling of a message nobody decodes.
LRESULT DefWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

bool IsWindow(HWND window);

// Lets the event loop handle what is pending (timers, posted messages, input).
void ProcessMessages();

}  // namespace platform

// Exported by the executable for the hook libraries, which find it with dlsym.
// Returns 1 when the message was queued.
extern "C" int TalvenorPostMessage(std::uintptr_t window, std::uint32_t msg, std::uintptr_t wParam,
                                   std::intptr_t lParam);
