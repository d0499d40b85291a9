#include "platform/profile_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "test_support/case_table.h"

namespace morlavin::platform {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

TEST(ProfileFile, ReadsKeysByTheProfileRules) {
  TempDir dir;
  for (const auto& c : test::caseTable("platform/profile_read.txt", 5)) {
    SCOPED_TRACE(c[0]);
    writeFile(dir.file("a.ini"), c[1]);
    EXPECT_EQ(ProfileSnapshot::read(dir.file("a.ini")).value().get(c[2], c[3], "dflt"), c[4]);
  }
  EXPECT_EQ(ProfileSnapshot::read(dir.file("missing.ini")).value().get("Setting", "Key", "dflt"),
            "dflt");
  EXPECT_FALSE(ProfileSnapshot::read(dir.path()).ok()) << "a folder";
}

TEST(ProfileFile, WritesChangeOnlyTheirOwnLine) {
  TempDir dir;
  const std::string path = dir.file("a.ini");
  for (const auto& c : test::caseTable("platform/profile_write.txt", 5)) {
    SCOPED_TRACE(c[0]);
    ::unlink(path.c_str());
    if (!c[1].empty()) writeFile(path, c[1]);
    const ProfileEdit edit{c[2], c[3]};
    EXPECT_TRUE(writeProfileStrings(path, "Setting", {&edit, 1}).ok());
    EXPECT_EQ(readFile(path), c[4]);
    EXPECT_EQ(ProfileSnapshot::read(path).value().get("Setting", c[2], "?"), c[3]) << "reads back";
  }
}

}  // namespace
}  // namespace morlavin::platform
