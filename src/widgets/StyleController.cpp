#include "widgets/StyleController.h"

TStyleController::TStyleController(QObject* parent)
    : QObject(parent),
      border_(0x30, 0x9F, 0xD6),
      hot_(0x1C, 0x82, 0xB3),
      hotFill_(0xDD, 0xEF, 0xFA) {}

void TStyleController::Set(QColor& field, const QColor& c) {
  if (c == field) return;
  field = c;
  emit Changed();
}

void TStyleController::SetBorderColor(const QColor& c) {
  Set(border_, c);
}
void TStyleController::SetHotColor(const QColor& c) {
  Set(hot_, c);
}
void TStyleController::SetHotFill(const QColor& c) {
  Set(hotFill_, c);
}

void TStyleController::SetHotTrack(bool on) {
  if (on == hotTrack_) return;
  hotTrack_ = on;
  emit Changed();
}

void TStyleController::SetFlatButtons(bool on) {
  if (on == flat_) return;
  flat_ = on;
  emit Changed();
}

QString TStyleController::Sheet(const QString& cls, const QColor& fill) const {
  QString sheet = QStringLiteral(
                      "%1 { border: 1px solid %2; border-radius: 0px; background-color: %3;"
                      " color: black; padding: 0px 1px; }"
                      "%1:disabled { color: #808080; }")
                      .arg(cls, border_.name(), fill.name());
  if (hotTrack_)
    sheet += QStringLiteral("%1:hover { border: 1px solid %2; }").arg(cls, hot_.name());
  return sheet;
}
