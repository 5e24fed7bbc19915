#pragma once

#include <QColor>
#include <QFont>
#include <QFrame>
#include <QPalette>

// The content panel of a page: 625 x 386, no bevel, its own ground colour (not
// the button face of the window that hosts it), Tahoma 11 px for anything that
// has no font of its own.
inline void SetupPagePanel(QFrame* panel, const QColor& ground) {
  panel->setObjectName(QStringLiteral("pnForm"));
  panel->setFixedSize(625, 386);
  panel->setFrameShape(QFrame::NoFrame);
  panel->setAutoFillBackground(true);
  panel->setBackgroundRole(QPalette::Window);
  QPalette pal = panel->palette();
  pal.setColor(QPalette::Window, ground);
  panel->setPalette(pal);
  QFont tahoma(QStringLiteral("Tahoma"));
  tahoma.setPixelSize(11);
  panel->setFont(tahoma);
}
