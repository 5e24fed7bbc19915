#pragma once

#include <QFrame>
#include <QWidget>

// The statistics report page. The window is never shown: its pnForm travels
// into the main window's page host.
class TfmGradient : public QWidget {
  Q_OBJECT
 public:
  explicit TfmGradient(QWidget* parent = nullptr);
  ~TfmGradient() override;

  QFrame* pnForm;
};

extern TfmGradient* fmGradient;
