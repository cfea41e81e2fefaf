// main() for window tests: one QApplication on the offscreen platform, then every test.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
  // Window tests need no display (their CTest entries ask for offscreen); the X11 tests run
  // under Xvfb, which sets DISPLAY.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
