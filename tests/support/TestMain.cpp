#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/core/Services.h"

// Every unit test runs with one application object on the offscreen platform.
int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::testing::InitGoogleTest(&argc, argv);
  platform::Application app(argc, argv);
  QApplication::setApplicationDisplayName(QStringLiteral("Talvenor"));
  return RUN_ALL_TESTS();
}
