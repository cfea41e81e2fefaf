// frmSplash, the start-up window: the logo, the company, its web address and what the tool is.
#pragma once

#include <QDialog>
#include <chrono>

#include "form_layout.h"

class QFrame;
class QLabel;
class QTimer;

namespace qrticket::ui {


class FrmSplash final : public QDialog {
  Q_OBJECT

 public:
  // Loads the splash: its timer starts now, so it runs before the window is on screen.
  // `interval` other than kSplashInterval is for tests only.
  explicit FrmSplash(std::chrono::milliseconds interval = kSplashInterval);
  ~FrmSplash() override;
  FrmSplash(const FrmSplash&) = delete;
  FrmSplash& operator=(const FrmSplash&) = delete;

  // The operator cannot dismiss the splash: Escape and the window manager's close do nothing.
  void reject() override {}

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateControls();
  void Timer1Timer();

  QFrame* Frame1_ = nullptr;
  QTimer* Timer1_ = nullptr;
  QLabel* imgLogo_ = nullptr;
  QLabel* lblPlatform_ = nullptr;
  QLabel* lblVersion_ = nullptr;
  QLabel* lblWarning_ = nullptr;
};

}  // namespace qrticket::ui
