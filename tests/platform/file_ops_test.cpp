#include "platform/file_ops.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <set>

#include "test_support/temp_dir.h"

namespace morlavin::platform {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;
namespace fs = std::filesystem;

// The names in a folder, sorted and separated by blanks.
std::string names(const std::string& dir) {
  std::set<std::string> sorted;
  for (const auto& entry : fs::directory_iterator(dir)) sorted.insert(entry.path().filename());
  std::string text;
  for (const std::string& name : sorted) text += (text.empty() ? "" : " ") + name;
  return text;
}

// A file system that can neither exchange two names nor rename onto a name
// in use, nor make unnamed files; optionally it cannot move the new file in.
bool g_refuseNewFile = false;
int refuse(int, const char*, const char*) { return errno = EINVAL, -1; }
int renameOntoFreeNames(int dir, const char* from, const char* to) {
  struct stat st {};
  if (::fstatat(dir, to, &st, AT_SYMLINK_NOFOLLOW) == 0) return errno = EEXIST, -1;
  if (g_refuseNewFile && std::string_view(from).ends_with(".tmp")) return errno = EIO, -1;
  return ::renameat(dir, from, dir, to);
}
int noUnnamedFiles(int, mode_t) { return errno = EOPNOTSUPP, -1; }
const WriterCalls kPlainFileSystem{refuse, renameOntoFreeNames, noUnnamedFiles};

TEST(AtomicFileWriter, ReplacesTheTargetOnlyOnCommit) {
  TempDir dir;
  const std::string target = dir.file("page.htm");
  writeFile(target, "old page");
  {
    AtomicFileWriter writer(AtomicFileWriter::Replace::kExchange, kPlainFileSystem);  // named temporary files
    ASSERT_TRUE(writer.open(target).isOk());
    ASSERT_TRUE(writer.open(target).isOk());  // a writer opened again drops what it had
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
  // Never setuid, setgid or sticky; for root, the owner and group stay.
  const bool root = ::geteuid() == 0;
  ::chmod(target.c_str(), 07755);
  if (root) { ASSERT_EQ(::chown(target.c_str(), 65534, 65534), 0); }
  ASSERT_TRUE(writeFileAtomically(target, "y").isOk());
  ::stat(target.c_str(), &st);
  EXPECT_EQ(st.st_mode & 07777, 0755u);
  if (root) { EXPECT_EQ(std::to_string(st.st_uid) + ":" + std::to_string(st.st_gid), "65534:65534"); }

  ::chmod(target.c_str(), 0444);
  const Status readOnly = writeFileAtomically(target, "z");
  EXPECT_FALSE(readOnly.isOk());
  EXPECT_NE(readOnly.message().find("読み取り専用"), std::string::npos) << readOnly.message();
  EXPECT_EQ(readFile(target), "y");

  EXPECT_FALSE(writeFileAtomically(dir.path(), "z").isOk());
  const Status missingFolder = writeFileAtomically(dir.file("none/a.htm"), "z");
  EXPECT_NE(missingFolder.message().find("見つかりません"), std::string::npos) << missingFolder.message();
}

TEST(AtomicFileWriter, WritesLongNamesLinksAndFileSystemsThatCannotReplace) {
  TempDir dir;
  std::string deep = dir.path();
  while (deep.size() < 3800) deep += "/" + std::string(200, 'd');
  fs::create_directories(deep);
  const std::string longest = std::string(251, 'n') + ".htm";
  // clang-format off
  struct Row { const char* name; std::string target; const WriterCalls& calls; bool refuseNewFile; bool ok; const char* after; };
  const Row rows[] = {
      {"a 255-byte name", dir.file(longest), systemWriterCalls(), false, true, "new"},
      {"a path of 4095 bytes", deep + "/" + std::string(4095 - deep.size() - 5, 'p') + ".htm", systemWriterCalls(), false, true, "new"},
      {"a link at the name is replaced", dir.file("link.htm"), systemWriterCalls(), false, true, "new"},
      {"no exchange, no rename onto a name in use", dir.file("plain.htm"), kPlainFileSystem, false, true, "new"},
      {"the new file cannot take the name", dir.file("plain.htm"), kPlainFileSystem, true, false, "earlier"},
  };
  // clang-format on
  writeFile(dir.file("elsewhere"), "earlier");
  fs::create_symlink("elsewhere", dir.file("link.htm"));
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    if (!fs::is_symlink(row.target)) writeFile(row.target, "earlier");
    const std::string before = names(fs::path(row.target).parent_path());
    g_refuseNewFile = row.refuseNewFile;
    AtomicFileWriter writer(AtomicFileWriter::Replace::kExchange, row.calls);
    ASSERT_TRUE(writer.open(row.target).isOk());
    writer.append("new");
    EXPECT_EQ(writer.commit().isOk(), row.ok);
    EXPECT_EQ(readFile(row.target), row.after);
    EXPECT_EQ(names(fs::path(row.target).parent_path()), before);
  }
  EXPECT_EQ(readFile(dir.file("elsewhere")), "earlier");
  EXPECT_FALSE(fs::is_symlink(dir.file("link.htm")));
}

// The settings file may be a link into a folder the user keeps elsewhere.
TEST(WriteFileAtomically, WritesThroughLinksAndKeepsThem) {
  TempDir dir;
  fs::create_directory(dir.file("kept"));
  writeFile(dir.file("kept/real.ini"), "old");
  fs::create_symlink("kept/step", dir.file("Morlavin.ini"));
  fs::create_symlink("real.ini", dir.file("kept/step"));
  fs::create_symlink("loop", dir.file("loop"));
  ASSERT_TRUE(writeFileAtomically(dir.file("Morlavin.ini"), "new").isOk());
  EXPECT_EQ(readFile(dir.file("kept/real.ini")), "new");
  EXPECT_TRUE(fs::is_symlink(dir.file("Morlavin.ini")) && fs::is_symlink(dir.file("kept/step")));
  EXPECT_EQ(names(dir.path()) + " | " + names(dir.file("kept")), "Morlavin.ini kept loop | real.ini step");
  EXPECT_EQ(writeFileAtomically(dir.file("loop"), "x").message(),
            "書き込めません: " + dir.file("loop") + " (シンボリックリンクが多すぎるか、循環しています)");
}

// Pipes and devices are refused before anything waits on them.
TEST(InputFile, RefusesAnythingButARegularFileAtOnce) {
  TempDir dir;
  ASSERT_EQ(::mkfifo(dir.file("pipe.txt").c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo(dir.file("Morlavin.ini").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", dir.file("zero.txt"));
  fs::create_directory(dir.file("dir.txt"));
  const std::string notRegular = "ファイルを開けません (通常のファイルではありません)";
  struct Row { std::string path; std::string message; };
  const Row rows[] = {{dir.file("pipe.txt"), notRegular},    {dir.file("Morlavin.ini"), notRegular},
                      {dir.file("zero.txt"), notRegular},    {"/dev/tty", notRegular},
                      {dir.file("dir.txt"), "ファイルを開けません (フォルダです)"}};
  ::alarm(10);  // a test that waits on a pipe ends here rather than never
  for (const Row& row : rows) {
    EXPECT_EQ(readWholeFile(row.path).status().message(), row.message) << row.path;
  }
  ::alarm(0);
  // A file whose size is not known beforehand is read to its end.
  EXPECT_EQ(readWholeFile("/proc/version").value(), readFile("/proc/version"));
}

TEST(Status, EveryErrnoHasAReasonInJapanese) {
  for (int error = 1; error < 134; ++error) {
    const std::string reason = describeErrno(error);
    EXPECT_GE(static_cast<unsigned char>(reason.at(0)), 0x80) << error << " " << reason;
  }
  for (const int error : {EEXIST, EXDEV, EBUSY, ELOOP, EMLINK, ENXIO, ENODEV, EMFILE, ENFILE, EAGAIN,
                          ENOTEMPTY, EOPNOTSUPP, ESTALE, EINTR, ETIMEDOUT, EPIPE, EINVAL, EBADF}) {
    EXPECT_FALSE(describeErrno(error).starts_with("予期しない")) << error;
  }
  EXPECT_EQ(describeErrno(9999), "予期しないエラーです (errno 9999)");
}

TEST(AtomicFileWriter, RemovesTemporaryFilesThatDeadProcessesLeft) {
  TempDir dir;
  const pid_t dead = ::fork();
  if (dead == 0) ::_exit(0);
  ::waitpid(dead, nullptr, 0);
  const std::string of = ".morlavin-" + std::to_string(dead);
  const std::string files[] = {of + "-0.tmp", of + "-1.old", ".morlavin-1-0.tmp", "other-0.tmp",
                                of + "-2.tmp"};
  for (const std::string& name : files) writeFile(dir.file(name), "x");
  const bool root = ::geteuid() == 0;
  if (root) { ASSERT_EQ(::chown(dir.file(of + "-2.tmp").c_str(), 65534, 65534), 0); }
  ASSERT_TRUE(writeFileAtomically(dir.file("page.htm"), "new").isOk());
  // Kept: the file set aside while a page took its place, a live process's,
  // not ours by name, and (for root, who can give it away) another user's.
  EXPECT_EQ(names(dir.path()), ".morlavin-1-0.tmp " + of + "-1.old " + (root ? of + "-2.tmp " : "") +
                                   "other-0.tmp page.htm");
}

TEST(RemoveFileIfUnchanged, DeletesOnlyTheFileThatWasWritten) {
  // clang-format off
  struct Row { const char* name; std::function<void(const std::string&)> change; const char* message; bool gone; };
  const Row rows[] = {
      {"unchanged", [](const std::string&) {}, "", true},
      {"gone already", [](const std::string& d) { fs::remove(d + "/site/page.htm"); }, "", true},
      {"edited since", [](const std::string& d) { writeFile(d + "/site/page.htm", "edited page"); }, "changed: ", false},
      {"touched since", [](const std::string& d) { const timespec times[2] = {{1, 0}, {1, 0}}; ::utimensat(AT_FDCWD, (d + "/site/page.htm").c_str(), times, 0); }, "changed: ", false},
      {"replaced by another file", [](const std::string& d) { writeFile(d + "/other", "page"); fs::rename(d + "/other", d + "/site/page.htm"); }, "changed: ", false},
      {"folder swapped for a link", [](const std::string& d) { fs::rename(d + "/site", d + "/moved"); fs::create_directory(d + "/else"); writeFile(d + "/else/page.htm", "page"); fs::create_symlink("else", d + "/site"); }, "changed: ", false},
  };
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TempDir dir;
    fs::create_directory(dir.file("site"));
    const std::string page = dir.file("site/page.htm");
    AtomicFileWriter writer;
    ASSERT_TRUE(writer.open(page).isOk());
    writer.append("page");
    ASSERT_TRUE(writer.commit().isOk());
    row.change(dir.path());
    const Status status = removeFileIfUnchanged(page, writer.written(), "changed: ");
    EXPECT_EQ(status.message(), std::string(row.message) + (status ? "" : page));
    EXPECT_EQ(!fs::exists(page), row.gone);
  }
}

}  // namespace
}  // namespace morlavin::platform
