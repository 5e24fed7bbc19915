#pragma once

#include <QByteArray>
#include <QIcon>
#include <QString>
#include <cstddef>

#include "platform/core/Types.h"

// The notification area, shaped like the Windows shell's notify-icon call: icons
// described by a record, mouse activity on them posted back to the record's
// window, balloons, and a "taskbar created" broadcast when a tray host appears.
namespace platform {

// Operations.
constexpr DWORD NIM_ADD = 0;
constexpr DWORD NIM_MODIFY = 1;
constexpr DWORD NIM_DELETE = 2;
constexpr DWORD NIM_SETVERSION = 4;

// Which fields of the record are meant.
constexpr UINT NIF_MESSAGE = 0x01;
constexpr UINT NIF_ICON = 0x02;
constexpr UINT NIF_TIP = 0x04;
constexpr UINT NIF_STATE = 0x08;
constexpr UINT NIF_INFO = 0x10;

// Balloon icons.
constexpr DWORD NIIF_NONE = 0;
constexpr DWORD NIIF_INFO = 1;
constexpr DWORD NIIF_WARNING = 2;
constexpr DWORD NIIF_ERROR = 3;
constexpr DWORD NIIF_ICON_MASK = 0x0F;

// Balloon notifications posted as the second parameter of the callback message.
constexpr UINT NIN_BALLOONSHOW = WM_USER + 2;
constexpr UINT NIN_BALLOONHIDE = WM_USER + 3;
constexpr UINT NIN_BALLOONTIMEOUT = WM_USER + 4;
constexpr UINT NIN_BALLOONUSERCLICK = WM_USER + 5;

// The classic record size, carried in cbSize as a version mark.
constexpr DWORD kNotifyIconDataSize = 488;

struct NOTIFYICONDATAA {
  DWORD cbSize = 0;
  HWND hWnd = 0;
  UINT uID = 0;
  UINT uFlags = 0;
  UINT uCallbackMessage = 0;
  QIcon hIcon;  // null: no picture
  char szTip[128] = {};
  DWORD dwState = 0;
  DWORD dwStateMask = 0;
  char szInfo[256] = {};
  UINT uTimeout = 0;  // milliseconds; the version for NIM_SETVERSION
  char szInfoTitle[64] = {};
  DWORD dwInfoFlags = 0;

  UINT uVersion() const { return uTimeout; }
};

// Copies at most size - 1 bytes of the UTF-8 text into dest and ends it with a
// zero byte; a character that does not fit whole is left out, so the field
// always holds valid UTF-8. Gives the number of bytes copied.
std::size_t CopyUtf8(char* dest, std::size_t size, const QByteArray& utf8);
std::size_t CopyUtf8(char* dest, std::size_t size, const QString& text);
template <std::size_t N>
std::size_t CopyUtf8(char (&dest)[N], const QString& text) {
  return CopyUtf8(dest, N, text);
}

// The text of a zero-ended field (never reads past the field).
template <std::size_t N>
QString FieldText(const char (&field)[N]) {
  std::size_t n = 0;
  while (n < N && field[n] != '\0') ++n;
  return QString::fromUtf8(field, static_cast<qsizetype>(n));
}

class NotifyIconService {
 public:
  virtual ~NotifyIconService() = default;
  // False when the operation could not be done (an unknown icon, an icon added
  // twice is not an error: it is shown again with the new record).
  virtual bool ShellNotifyIcon(DWORD message, const NOTIFYICONDATAA& data) = 0;
  // The message posted to every window with an icon when a tray host appears
  // after the start or comes back; 0 when there is no such broadcast.
  virtual UINT TaskbarCreatedMessage() = 0;
};

NotifyIconService& GetNotifyIcon();
// nullptr puts the real service back.
void SetNotifyIcon(NotifyIconService* service);

inline bool Shell_NotifyIconA(DWORD message, const NOTIFYICONDATAA* data) {
  return data && GetNotifyIcon().ShellNotifyIcon(message, *data);
}

}  // namespace platform
