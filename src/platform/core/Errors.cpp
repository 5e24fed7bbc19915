#include "platform/core/Errors.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

namespace platform {

MessageBoxErrorHandler::~MessageBoxErrorHandler() {
  delete box_;
}

void MessageBoxErrorHandler::ShowException(const QString& text) {
  if (box_ && box_->isVisible()) {
    ++further_;
    box_->setInformativeText(
        QStringLiteral("此后又发生了 %1 次错误，最近一次：%2").arg(further_).arg(text));
    return;
  }
  delete box_;
  further_ = 0;
  box_ = new QMessageBox(QMessageBox::Critical, QApplication::applicationDisplayName(), text,
                         QMessageBox::Ok);
  box_->setWindowModality(Qt::NonModal);
  box_->setWindowFlag(Qt::WindowStaysOnTopHint, true);
  box_->show();
  box_->raise();
}

void HandleException(std::exception_ptr error) {
  QString text;
  try {
    std::rethrow_exception(error);
  } catch (const Error& e) {
    text = e.Text();
  } catch (const std::exception& e) {
    text = QString::fromUtf8(e.what());
  } catch (...) {
    text = QStringLiteral("未知错误");
  }
  try {
    GetErrorHandler().ShowException(text);
  } catch (...) {
    // The reporter itself failing must not take the program down.
  }
}

bool Guard(const std::function<void()>& fn) {
  try {
    fn();
    return true;
  } catch (...) {
    HandleException(std::current_exception());
    return false;
  }
}

}  // namespace platform
