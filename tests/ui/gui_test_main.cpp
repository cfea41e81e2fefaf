// main() for window tests: one QApplication on the offscreen platform, then every test.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
  // Window tests never need a display; the CTest entries set this too.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
