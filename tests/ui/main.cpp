// The window's tests run Qt offscreen, in one application object for all.
#include <gtest/gtest.h>

#include <QApplication>

#include "ui/qt/application.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  quenmar::TApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
