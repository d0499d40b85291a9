#include "platform/launcher.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "test_support/case_table.h"
#include "test_support/temp_dir.h"

namespace morlavin::platform {
namespace {

using test::readFile;

// The states of this process's children ('Z': ended, not yet collected).
std::string childStates() {
  std::string states;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string stat = readFile(entry.path().string() + "/stat");
    const auto end = stat.rfind(") ");
    if (end == std::string::npos) continue;
    std::istringstream fields(stat.substr(end + 2));  // the state, then the parent's id
    char state = 0;
    int parent = 0;
    if (fields >> state >> parent && parent == ::getpid()) states += state;
  }
  return states;
}

// Reaps at each wake-up of the launcher's pipe until the children left are in
// `states`, at most ten seconds; the states then.
std::string reapedUntil(DesktopLauncher& launcher, const std::string& states) {
  pollfd ended{launcher.childEndedFd(), POLLIN, 0};
  for (int wakeUps = 0; wakeUps < 100 && childStates() != states; ++wakeUps) {
    ::poll(&ended, 1, 100);
    launcher.reapFinished();
  }
  return childStates();
}

// The started program writes whether it ignores SIGPIPE (bit 13 of its
// ignored signals, as Morlavin's own), its folder and its arguments to `seen`.
TEST(DesktopLauncher, HandsOverAbsolutePathsAndArgumentsUntouched) {
  test::TempDir dir;
  const std::string stub =
      "#!/bin/sh\nprintf '%s|' $((0x$(sed -n 's/^SigIgn:\\s*//p' /proc/$$/status) >> 12 & 1)) "
      "\"$PWD\" \"$@\" >" +
      dir.file("seen") + "\n";
  // What it wrote, once it has ended and been collected.
  DesktopLauncher launcher;
  const auto seen = [&] {
    EXPECT_EQ(reapedUntil(launcher, ""), "");
    return readFile(dir.file("seen"));
  };
  for (const char* name : {"xdg-open", "program"}) {
    test::writeFile(dir.file(name), stub);
    ::chmod(dir.file(name).c_str(), 0755);
  }
  const std::string path = std::getenv("PATH");
  ::setenv("PATH", (dir.path() + ":" + path).c_str(), 1);
  std::signal(SIGPIPE, SIG_IGN);
  ASSERT_TRUE(launcher.openDocument("-x.htm", dir.path()).ok());
  EXPECT_EQ(seen(), "0|" + dir.path() + "|" + dir.file("-x.htm") + "|");
  ASSERT_TRUE(launcher.openDocument("/a/https:/b.htm").ok());
  EXPECT_EQ(seen(), "0|" + std::filesystem::current_path().string() + "|/a/https:/b.htm|");
  ASSERT_TRUE(launcher.startProgram("program", {"a b", "$HOME", ""}).ok());
  EXPECT_EQ(seen(), "0|" + std::filesystem::current_path().string() + "|a b|$HOME||");
  EXPECT_FALSE(launcher.startProgram(dir.file("missing"), {}).ok());
  ::setenv("PATH", path.c_str(), 1);
}

// The opener's failure is told as soon as it ends; an opener still running
// after a second has found a handler (perhaps a browser it runs until the
// user closes it), is not waited for, and is collected once it ends. A child
// started elsewhere in the program is left for its owner to collect.
TEST(DesktopLauncher, TellsAnOpenerThatFailsAndCollectsOnlyItsOwnChildren) {
  const pid_t other = ::fork();
  if (other == 0) ::_exit(0);
  siginfo_t info{};
  ASSERT_EQ(::waitid(P_PID, other, &info, WEXITED | WNOWAIT), 0);
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
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));
    EXPECT_EQ(status.message(), test::replaced(row[1], "PAGE", dir.file("page.htm")));
  }
  ::setenv("PATH", path.c_str(), 1);
  const std::string states = childStates();
  EXPECT_EQ(std::count(states.begin(), states.end(), 'Z'), 1)
      << "the openers that ended are collected";
  EXPECT_EQ(reapedUntil(launcher, "Z"), "Z");
  EXPECT_EQ(::waitpid(other, nullptr, WNOHANG), other);
}

}  // namespace
}  // namespace morlavin::platform
