#include "platform/launcher.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

#include "test_support/case_table.h"
#include "test_support/temp_dir.h"

namespace morlavin::platform {
namespace {

using test::readFile;

// The started program writes whether it ignores SIGPIPE (bit 13 of its
// ignored signals, as Morlavin's own), its folder and its arguments to `seen`,
// then renames it to `seen.done`; this waits for that, at most ten seconds.
std::string seenByTheProgram(const test::TempDir& dir) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (readFile(dir.file("seen.done")) == "<missing>" && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  const std::string seen = readFile(dir.file("seen.done"));
  std::remove(dir.file("seen.done").c_str());
  return seen;
}

TEST(DesktopLauncher, HandsOverAbsolutePathsAndArgumentsUntouched) {
  test::TempDir dir;
  const std::string stub = "#!/bin/sh\nprintf '%s|' $((0x$(sed -n 's/^SigIgn:\\s*//p' /proc/$$/status) >> 12 & 1)) "
                           "\"$PWD\" \"$@\" >" + dir.file("seen") + " && mv " + dir.file("seen") + " " +
                           dir.file("seen.done") + "\n";
  for (const char* name : {"xdg-open", "program"}) {
    test::writeFile(dir.file(name), stub);
    ::chmod(dir.file(name).c_str(), 0755);
  }
  const std::string path = std::getenv("PATH");
  ::setenv("PATH", (dir.path() + ":" + path).c_str(), 1);
  DesktopLauncher launcher;
  std::signal(SIGPIPE, SIG_IGN);
  ASSERT_TRUE(launcher.openDocument("-x.htm", dir.path()).ok());
  EXPECT_EQ(seenByTheProgram(dir), "0|" + dir.path() + "|" + dir.file("-x.htm") + "|");
  ASSERT_TRUE(launcher.openDocument("/a/https:/b.htm").ok());
  EXPECT_EQ(seenByTheProgram(dir), "0|" + std::filesystem::current_path().string() + "|/a/https:/b.htm|");
  ASSERT_TRUE(launcher.startProgram("program", {"a b", "$HOME", ""}).ok());
  EXPECT_EQ(seenByTheProgram(dir), "0|" + std::filesystem::current_path().string() + "|a b|$HOME||");
  EXPECT_FALSE(launcher.startProgram(dir.file("missing"), {}).ok());
  ::setenv("PATH", path.c_str(), 1);
}

// The opener's failure is told as soon as it ends; an opener still running
// after a second has found a handler (perhaps a browser it runs until the
// user closes it) and is neither waited for further nor left a zombie.
TEST(DesktopLauncher, TellsAnOpenerThatFailsAndLeavesOneThatRuns) {
  test::TempDir dir;
  const std::string path = std::getenv("PATH");
  ::setenv("PATH", (dir.path() + ":" + path).c_str(), 1);
  DesktopLauncher launcher;
  for (const auto& row : test::caseTable("platform/opener_outcomes.txt", 2)) {
    SCOPED_TRACE(row[0]);
    test::writeFile(dir.file("xdg-open"), "#!/bin/sh\n" + row[0] + "\n");
    ::chmod(dir.file("xdg-open").c_str(), 0755);
    const auto start = std::chrono::steady_clock::now();
    const Status status = launcher.openDocument("page.htm", dir.path());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_EQ(status.message(), test::replaced(row[1], "PAGE", dir.file("page.htm")));
  }
  ::setenv("PATH", path.c_str(), 1);
  const auto zombies = [] {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
      const std::string stat = readFile(entry.path().string() + "/stat");
      const auto end = stat.rfind(") ");
      if (end == std::string::npos) continue;
      // state, then the parent's id
      std::istringstream fields(stat.substr(end + 2));
      char state = 0;
      int parent = 0;
      fields >> state >> parent;
      count += state == 'Z' && parent == ::getpid();
    }
    return count;
  };
  EXPECT_EQ(zombies(), 0);
}

}  // namespace
}  // namespace morlavin::platform
