// The windows on a real X server (run under Xvfb): centred, and kept off the task bar.
#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QTest>

#include "form1.h"
#include "frm_splash.h"
#include "window_placement.h"

namespace qrticket::ui {
namespace {

class OnX11 : public ::testing::Test {
 protected:
  void SetUp() override {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
      GTEST_SKIP() << "needs an X server; platform is " << QGuiApplication::platformName().toStdString();
    }
  }
};

void ExpectCentredAndOffTaskBar(QWidget& window) {
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  EXPECT_TRUE(IsKeptOffTaskBar(window));
  const QPoint screenCentre = window.screen()->availableGeometry().center();
  const QPoint centre = window.frameGeometry().center();
  EXPECT_LE((centre - screenCentre).manhattanLength(), 4)
      << centre.x() << "," << centre.y() << " vs " << screenCentre.x() << "," << screenCentre.y();
}

TEST_F(OnX11, MainWindow) {
  Form1 form;
  ExpectCentredAndOffTaskBar(form);
}

TEST_F(OnX11, Splash) {
  FrmSplash splash(std::chrono::hours(1));
  ExpectCentredAndOffTaskBar(splash);
}

}  // namespace
}  // namespace qrticket::ui
