#include "platform/locations.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "test_support/temp_dir.h"

namespace morlavin::platform {
namespace {

using test::TempDir;

std::string expand(std::string text, const TempDir& t) {
  if (text == "-") return "";
  for (const auto& [name, value] :
       {std::pair<std::string, std::string>{"{bin}", t.file("usr/bin")}, {"{share}", t.file("usr/share/morlavin")},
        {"{home}", t.file("home")}, {"{t}", t.path()}}) {
    if (text.rfind(name, 0) == 0) text.replace(0, name.size(), value);
  }
  return text;
}

// Makes `folder` with the files `files` names ("ini,hlp,txt") in it.
void place(const std::string& files, const std::string& folder) {
  std::filesystem::create_directories(folder);
  for (const auto& [key, name] : {std::pair{"ini", "Morlavin.ini"}, {"hlp", "Morlavin.hlp"}, {"txt", "Morlavin.txt"}}) {
    if (files.find(key) != std::string::npos) test::writeFile(folder + "/" + name, "x");
  }
}

TEST(Locations, ChoosesEachFileByTheTable) {
  std::ifstream table(std::string(MORLAVIN_TEST_DATA) + "/platform/locations.txt");
  int rows = 0;
  for (std::string line; std::getline(table, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream in(line);
    std::string name, beside, shared, writable, settings, help, readme, preview;
    UserEnvironment environment;
    in >> name >> beside >> shared >> writable >> environment.home >> environment.configHome >>
        environment.runtimeDir >> environment.cacheHome >> settings >> help >> readme >> preview;
    SCOPED_TRACE(name);
    TempDir t;
    place(beside, t.file("usr/bin"));
    place(shared, t.file("usr/share/morlavin"));
    for (std::string* value : {&environment.home, &environment.configHome, &environment.runtimeDir,
                               &environment.cacheHome}) {
      *value = expand(*value, t);
    }
    const std::string program = beside == "none" ? "" : t.file("usr/bin");
    const Locations found =
        locateFiles(program, environment, [&](const std::string&) { return writable == "yes"; });
    EXPECT_EQ(found.settingsDirectory, expand(settings, t));
    EXPECT_EQ(found.settingsBesideProgram, !program.empty() && found.settingsDirectory == program);
    EXPECT_EQ(found.helpFile, expand(help, t));
    EXPECT_EQ(found.readmeFile, expand(readme, t));
    EXPECT_EQ(found.previewDirectory, expand(preview, t));
    ++rows;
  }
  EXPECT_EQ(rows, 12);
}

// The real check, not the permission bits: as root a folder without write
// permission is still writable.
TEST(Locations, CreatesPrivateFoldersAndSeesWhatIsWritable) {
  TempDir t;
  const std::string folder = t.file("a/b/morlavin");
  EXPECT_TRUE(createFolder(folder).isOk());
  EXPECT_TRUE(createFolder(folder).isOk());
  struct stat info {};
  ASSERT_EQ(::stat(folder.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  EXPECT_TRUE(canWriteFolder(folder));
  test::writeFile(t.file("file"), "x");
  EXPECT_FALSE(createFolder(t.file("file/sub")).isOk());
  EXPECT_FALSE(canWriteFolder(t.file("missing")));
  ::chmod(folder.c_str(), 0500);
  EXPECT_EQ(canWriteFolder(folder), ::geteuid() == 0);
}

}  // namespace
}  // namespace morlavin::platform
