#include "ui/fixed_windows.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDialog>
#include <QTest>
#include <QWindow>
#include <filesystem>

#include "test_support/temp_dir.h"

namespace morlavin::ui {
namespace {

// A window of one size that the compositor maximises anyway goes back to its
// size, and tells its title bar it has no edges to drag; one that may grow stays maximised.
TEST(FixedWindows, AMaximisedWindowOfOneSizeGoesBackToIt) {
  keepFixedWindowsUnmaximized(QCoreApplication::instance());
  QDialog fixed, growing;
  fixed.setFixedSize(300, 200);
  growing.resize(300, 200);
  for (QDialog* window : {&fixed, &growing}) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    window->setWindowState(Qt::WindowMaximized);
  }
  EXPECT_TRUE(QTest::qWaitFor([&] { return fixed.windowState() == Qt::WindowNoState; }));
  EXPECT_TRUE(fixed.size() == QSize(300, 200) &&
              fixed.windowHandle()->property("morlavinFixedSize").toBool());
  EXPECT_TRUE(growing.isMaximized() &&
              !growing.windowHandle()->property("morlavinFixedSize").isValid());
}

// Our own title bars where the plugin lies beside the program, never over the user's choice.
TEST(FixedWindows, OwnTitleBarsWhereThePluginIs) {
  test::TempDir dir;
  qunsetenv("QT_WAYLAND_DECORATION");
  useOwnWaylandTitleBars("");
  useOwnWaylandTitleBars(dir.path());
  EXPECT_FALSE(qEnvironmentVariableIsSet("QT_WAYLAND_DECORATION"));
  std::filesystem::create_directory(dir.file("wayland-decoration-client"));
  test::writeFile(dir.file("wayland-decoration-client/libmorlavin-title-bar.so"), "");
  useOwnWaylandTitleBars(dir.path());
  EXPECT_EQ(qgetenv("QT_WAYLAND_DECORATION"), "morlavin");
  EXPECT_TRUE(QCoreApplication::libraryPaths().contains(QString::fromStdString(dir.path())));
  qputenv("QT_WAYLAND_DECORATION", "bradient");
  useOwnWaylandTitleBars(dir.path());
  EXPECT_EQ(qgetenv("QT_WAYLAND_DECORATION"), "bradient");
  qunsetenv("QT_WAYLAND_DECORATION");
}

}  // namespace
}  // namespace morlavin::ui
