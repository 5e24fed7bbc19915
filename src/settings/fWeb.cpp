#include "settings/fWeb.h"

TfmWebStyle* fmWebStyle = nullptr;

TfmWebStyle::TfmWebStyle(QWidget* parent) : QWidget(parent), pnForm(new QFrame(this)) {
  setWindowTitle(QStringLiteral("fmWebStyle"));
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
  btnigreen = new QPushButton(QStringLiteral("应用"), pnForm);
  btnigreen->setObjectName(QStringLiteral("btnigreen"));
  btnigreen->setGeometry(440, 344, 75, 25);
  btnigreen->setEnabled(false);
}

TfmWebStyle::~TfmWebStyle() = default;
