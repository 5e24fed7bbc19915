#include "stats/fGradient.h"

TfmGradient* fmGradient = nullptr;

TfmGradient::TfmGradient(QWidget* parent) : QWidget(parent), pnForm(new QFrame(this)) {
  setWindowTitle(QStringLiteral("fmGradient"));
  pnForm->setObjectName(QStringLiteral("pnForm"));
  pnForm->setFixedSize(625, 386);
  pnForm->setFrameShape(QFrame::NoFrame);
  pnForm->setAutoFillBackground(true);
  QPalette pal = pnForm->palette();
  pal.setColor(QPalette::Window, QColor(0xD9, 0xE8, 0xF0));
  pnForm->setPalette(pal);
  QFont f(QStringLiteral("Tahoma"));
  f.setPixelSize(11);
  pnForm->setFont(f);
}

TfmGradient::~TfmGradient() = default;
