#pragma once

#include <QString>
#include <exception>
#include <functional>
#include <stdexcept>

class QMessageBox;

namespace platform {

// The system's errors carry a user-facing text (UTF-8).
class Error : public std::runtime_error {
 public:
  explicit Error(const QString& text) : std::runtime_error(text.toStdString()) {}
  QString Text() const { return QString::fromUtf8(what()); }
};

// The application's default exception handler: shows an error's text and lets
// the program go on.
class ErrorHandler {
 public:
  virtual ~ErrorHandler() = default;
  virtual void ShowException(const QString& text) = 0;
};

// A non-modal message box. While one box is open a further error does not open
// a second one: it is counted in the open box, which names the latest text.
class MessageBoxErrorHandler : public ErrorHandler {
 public:
  ~MessageBoxErrorHandler() override;
  void ShowException(const QString& text) override;

 private:
  QMessageBox* box_ = nullptr;
  int further_ = 0;
};

ErrorHandler& GetErrorHandler();
void SetErrorHandler(ErrorHandler* handler);

// Hands the exception in flight (or a given one) to the default handler.
void HandleException(std::exception_ptr error);

// Runs fn; an exception that escapes goes to the default handler. Gives true when
// fn finished normally.
bool Guard(const std::function<void()>& fn);

}  // namespace platform
