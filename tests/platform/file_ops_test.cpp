#include "platform/file_ops.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "test_support/temp_dir.h"

namespace morlavin::platform {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

TEST(AtomicFileWriter, ReplacesTheTargetOnlyOnCommit) {
  TempDir dir;
  const std::string target = dir.file("page.htm");
  writeFile(target, "old page");
  {
    AtomicFileWriter writer;
    ASSERT_TRUE(writer.open(target).isOk());
    writer.append("half a ");
    EXPECT_EQ(readFile(target), "old page");
  }  // abandoned: the old page stays and no temporary file is left behind
  EXPECT_EQ(readFile(target), "old page");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

  AtomicFileWriter writer;
  ASSERT_TRUE(writer.open(target).isOk());
  writer.append("new ");
  writer.append(std::string(3 << 20, 'x'));  // larger than the buffer
  ASSERT_TRUE(writer.commit().isOk());
  EXPECT_EQ(readFile(target), "new " + std::string(3 << 20, 'x'));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(AtomicFileWriter, KeepsPermissionsAndRefusesReadOnlyTargetsAndFolders) {
  TempDir dir;
  const std::string target = dir.file("a.ini");
  writeFile(target, "x");
  ::chmod(target.c_str(), 0600);
  ASSERT_TRUE(writeFileAtomically(target, "y").isOk());
  struct stat st {};
  ::stat(target.c_str(), &st);
  EXPECT_EQ(st.st_mode & 07777, 0600u);

  ::chmod(target.c_str(), 0444);
  const Status readOnly = writeFileAtomically(target, "z");
  EXPECT_FALSE(readOnly.isOk());
  EXPECT_NE(readOnly.message().find("読み取り専用"), std::string::npos) << readOnly.message();
  EXPECT_EQ(readFile(target), "y");

  EXPECT_FALSE(writeFileAtomically(dir.path(), "z").isOk());
  const Status missingFolder = writeFileAtomically(dir.file("none/a.htm"), "z");
  EXPECT_NE(missingFolder.message().find("見つかりません"), std::string::npos) << missingFolder.message();
}

}  // namespace
}  // namespace morlavin::platform
