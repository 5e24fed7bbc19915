#pragma once

#include <QFrame>
#include <QPushButton>
#include <QWidget>

// The settings page. The window is never shown: its pnForm travels into the
// main window's page host.
class TfmWebStyle : public QWidget {
  Q_OBJECT
 public:
  explicit TfmWebStyle(QWidget* parent = nullptr);
  ~TfmWebStyle() override;

  QFrame* pnForm;
  QPushButton* btnigreen;
};

extern TfmWebStyle* fmWebStyle;
