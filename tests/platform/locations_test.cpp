#include "platform/locations.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/program_dir.h"
#include "test_support/case_table.h"
#include "test_support/tmpfs.h"

namespace morlavin::platform {
namespace {

using test::TempDir;

std::string expand(std::string text, const TempDir& t) {
  if (text == "-") return "";
  for (const auto& [name, value] : {std::pair<std::string, std::string>{"{bin}", t.file("usr/bin")},
                                    {"{share}", t.file("usr/share/morlavin")},
                                    {"{home}", t.file("home")},
                                    {"{t}", t.path()}}) {
    if (text.rfind(name, 0) == 0) text.replace(0, name.size(), value);
  }
  return text;
}

// Makes `folder` with the files `files` names ("ini,hlp,txt") in it.
void place(const std::string& files, const std::string& folder) {
  std::filesystem::create_directories(folder);
  for (const auto& [key, name] :
       {std::pair{"ini", "Morlavin.ini"}, {"hlp", "Morlavin.hlp"}, {"txt", "Morlavin.txt"}}) {
    if (files.find(key) != std::string::npos) test::writeFile(folder + "/" + name, "x");
  }
}

TEST(Locations, ChoosesEachFileByTheTable) {
  for (const auto& c : test::caseTable("platform/locations.txt", 12)) {
    SCOPED_TRACE(c[0]);
    TempDir t;
    place(c[1], t.file("usr/bin"));
    place(c[2], t.file("usr/share/morlavin"));
    const UserEnvironment environment{expand(c[4], t), expand(c[5], t), expand(c[6], t),
                                      expand(c[7], t)};
    const std::string program = c[1] == "none" ? "" : t.file("usr/bin");
    const Locations found =
        locateFiles(program, environment, [&](const std::string&) { return c[3] == "yes"; });
    EXPECT_EQ(found.settingsDirectory, expand(c[8], t));
    EXPECT_EQ(found.settingsBesideProgram, !program.empty() && found.settingsDirectory == program);
    EXPECT_EQ(found.helpFile, expand(c[9], t));
    EXPECT_EQ(found.readmeFile, expand(c[10], t));
    EXPECT_EQ(found.previewDirectory, expand(c[11], t));
  }
  EXPECT_EQ(programDirectory(),
            std::filesystem::canonical("/proc/self/exe").parent_path().string());
}

// The plugins follow the help: beside a portable program, else below the prefix.
TEST(Locations, FindsThePluginsWhereTheHelpIs) {
  TempDir t;
  EXPECT_EQ(pluginFolder(""), "");
  place("", t.file("usr/bin"));
  place("hlp", t.file("usr/share/morlavin"));
  EXPECT_EQ(pluginFolder(t.file("usr/bin")), t.file("usr/" MORLAVIN_LIBRARY_FOLDER));
  place("hlp", t.file("usr/bin"));
  EXPECT_EQ(pluginFolder(t.file("usr/bin")), t.file("usr/bin"));
}

// The real check, not the permission bits: as root a folder without write
// permission is still writable, but not one on a read-only mount.
TEST(Locations, CreatesPrivateFoldersAndSeesWhatIsWritable) {
  TempDir t;
  const std::string folder = t.file("a/b/morlavin");
  EXPECT_TRUE(createFolder(folder).ok());
  EXPECT_TRUE(createFolder(folder).ok());
  struct stat info {};
  ASSERT_EQ(::stat(folder.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  EXPECT_TRUE(canWriteFolder(folder));
  test::writeFile(t.file("file"), "x");
  EXPECT_FALSE(createFolder(t.file("file/sub")).ok() || createFolder(t.file("file")).ok());
  EXPECT_FALSE(canWriteFolder(t.file("missing")));
  ::chmod(folder.c_str(), 0500);
  EXPECT_EQ(canWriteFolder(folder), ::geteuid() == 0);
  test::Tmpfs disk(t.file("a"), 4096);
  if (disk.ok() && disk.makeReadOnly()) {
    EXPECT_FALSE(canWriteFolder(t.file("a")));
  }
}

}  // namespace
}  // namespace morlavin::platform
