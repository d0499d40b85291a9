#include "platform/file_ops.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>

#include "platform/folder_listing.h"
#include "platform/temporary_files.h"
#include "test_support/temp_dir.h"

namespace morlavin::platform {
namespace {

using test::fileNames;
using test::readFile;
using test::TempDir;
using test::writeFile;
namespace fs = std::filesystem;

// A file system that can neither exchange two names nor rename onto a name
// in use, nor make unnamed files, nor copy between files within the kernel;
// optionally it cannot move the new file in.
bool g_refuseNewFile = false;
int g_nameInUse = EEXIST;  // how the file system says so
int refuse(int, const char*, const char*) { return errno = EINVAL, -1; }
int renameOntoFreeNames(int dir, const char* from, const char* to) {
  struct stat st {};
  if (::fstatat(dir, to, &st, AT_SYMLINK_NOFOLLOW) == 0) return errno = g_nameInUse, -1;
  if (g_refuseNewFile && std::string_view(from).ends_with(".tmp")) return errno = EIO, -1;
  return ::renameat(dir, from, dir, to);
}
int noUnnamedFiles(int, mode_t) { return errno = EOPNOTSUPP, -1; }
ssize_t kernelCannotCopy(int, off_t*, int, off_t*, std::size_t, unsigned) {
  return errno = EXDEV, -1;
}
const WriterCalls kPlainFileSystem{refuse, renameOntoFreeNames, noUnnamedFiles, ::close,
                                   kernelCannotCopy};
// A file that refuses every write, a file system that reports a failed write
// only on close, and a disk too full for a copy.
int unwritable(int directory, mode_t mode) {
  const int fd = ::openat(directory, "unwritable", O_RDONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  return ::unlinkat(directory, "unwritable", 0), fd;
}
int failingClose(int fd) { return ::close(fd), errno = EIO, -1; }
ssize_t noSpace(int, off_t*, int, off_t*, std::size_t, unsigned) { return errno = ENOSPC, -1; }

TEST(AtomicFileWriter, LeavesTheTargetAsItWasWithoutCommit) {
  TempDir dir;
  const std::string target = dir.file("page.htm");
  writeFile(target, "old page");
  {
    AtomicFileWriter writer(AtomicFileWriter::Replace::kExchange,
                            kPlainFileSystem);  // named temporary files
    ASSERT_TRUE(writer.open(target).ok());
    ASSERT_TRUE(writer.open(target).ok());  // a writer opened again drops what it had
    writer.append("half a ");
    EXPECT_EQ(readFile(target), "old page");
  }  // abandoned: the old page stays and no temporary file is left behind
  EXPECT_EQ(readFile(target) + " in " + fileNames(dir.path()), "old page in page.htm");
}

// The reason a write fails is told, the name keeps its earlier file, and no
// temporary file is left behind. Each way of saying a name is in use means: replace stepwise.
TEST(AtomicFileWriter, WritesOrFailsByTheTable) {
  TempDir dir;
  std::string deep = dir.path();
  while (deep.size() < 3800) deep += "/" + std::string(200, 'd');
  fs::create_directories(deep);
  fs::create_directory(dir.file("folder.htm"));
  writeFile(dir.file("read-only.htm"), "earlier");
  ::chmod(dir.file("read-only.htm").c_str(), 0444);
  writeFile(dir.file("elsewhere"), "earlier");
  fs::create_symlink("elsewhere", dir.file("link.htm"));
  const WriterCalls& system = systemWriterCalls();
  const WriterCalls writeFails{system.exchange, system.rename, unwritable, ::close};
  const WriterCalls closeFails{system.exchange, system.rename, system.openUnnamed, failingClose};
  const WriterCalls both{system.exchange, system.rename, unwritable, failingClose};
  const std::string page = "new " + std::string(1 << 17, 'x');  // larger than the buffer
  const std::string longPath = deep + "/" + std::string(4095 - deep.size() - 5, 'p') + ".htm";
  struct Row {
    const char* name;
    std::string target;
    const WriterCalls& calls;
    bool refuse;
    const char* reason;
  };
  const Row rows[] = {
      {"a 255-byte name", dir.file(std::string(251, 'n') + ".htm"), system, false, ""},
      {"a path of 4095 bytes", longPath, system, false, ""},
      {"a link at the name is replaced", dir.file("link.htm"), system, false, ""},
      {"no exchange, no rename onto a name in use", dir.file("plain.htm"), kPlainFileSystem, false,
       ""},
      {"the new file cannot move in", dir.file("plain2.htm"), kPlainFileSystem, true,
       "入出力エラーが発生しました"},
      {"read-only", dir.file("read-only.htm"), system, false, "読み取り専用のファイルです"},
      {"a folder", dir.file("folder.htm"), system, false, "フォルダです"},
      {"no such folder", dir.file("none/a.htm"), system, false,
       "ファイルまたはフォルダが見つかりません"},
      {"the write fails", dir.file("write.htm"), writeFails, false, "ファイルが開かれていません"},
      {"the write fails on close", dir.file("close.htm"), closeFails, false,
       "入出力エラーが発生しました"},
      {"the first failure is told", dir.file("both.htm"), both, false,
       "ファイルが開かれていません"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const bool none = row.target.find("/none/") != std::string::npos;
    if (!none && !fs::exists(fs::symlink_status(row.target))) writeFile(row.target, "earlier");
    const std::string before = fileNames(dir.path()) + " | " + fileNames(deep),
                      earlier = readFile(row.target);
    g_refuseNewFile = row.refuse;
    AtomicFileWriter writer(AtomicFileWriter::Replace::kExchange, row.calls);
    Status status = writer.open(row.target);
    writer.append(page.substr(0, 4));
    writer.append(page.substr(4));
    if (status.ok()) status = writer.commit();
    const std::string reason = row.reason;
    EXPECT_EQ(status.message(),
              reason.empty() ? "" : "書き込めません: " + row.target + " (" + reason + ")");
    const std::string after = readFile(row.target);
    EXPECT_TRUE(after == (reason.empty() ? page : earlier))
        << after.size() << " bytes: " << after.substr(0, 20);
    EXPECT_EQ(fileNames(dir.path()) + " | " + fileNames(deep), before);
  }
  for (const int error : {ENOTEMPTY, EPERM, EINVAL, EOPNOTSUPP, ENOSYS, EEXIST}) {
    AtomicFileWriter writer(AtomicFileWriter::Replace::kExchange, kPlainFileSystem);
    g_nameInUse = error;
    EXPECT_TRUE(writer.open(dir.file("plain.htm")).ok() && writer.commit().ok()) << error;
  }
  EXPECT_EQ(readFile(dir.file("elsewhere")), "earlier");
  EXPECT_EQ(rememberTemporaryFile(-1, "x"), 0)
      << "every writer gave its place in the registry back";
  forgetTemporaryFile(0);
}

// The settings file may be a link into a folder the user keeps elsewhere.
TEST(WriteFileAtomically, WritesThroughLinksAndKeepsThem) {
  TempDir dir;
  fs::create_directory(dir.file("kept"));
  writeFile(dir.file("kept/real.ini"), "old");
  fs::create_symlink("kept/step", dir.file("Morlavin.ini"));
  fs::create_symlink("real.ini", dir.file("kept/step"));
  ASSERT_TRUE(writeFileAtomically(dir.file("Morlavin.ini"), "new").ok());
  EXPECT_EQ(readFile(dir.file("kept/real.ini")), "new");
  EXPECT_TRUE(fs::is_symlink(dir.file("Morlavin.ini")) && fs::is_symlink(dir.file("kept/step")));
  EXPECT_EQ(fileNames(dir.path()) + " | " + fileNames(dir.file("kept")),
            "Morlavin.ini kept | real.ini step");
  // As in the kernel, a chain of 40 links is followed and one of 41 is not.
  for (int i = 1; i <= 41; ++i) {
    fs::create_symlink(i == 1 ? "kept/real.ini" : "l" + std::to_string(i - 1),
                       dir.file("l" + std::to_string(i)));
  }
  EXPECT_TRUE(writeFileAtomically(dir.file("l40"), "x").ok());
  EXPECT_EQ(
      writeFileAtomically(dir.file("l41"), "x").message(),
      "書き込めません: " + dir.file("l41") + " (シンボリックリンクが多すぎるか、循環しています)");
}

// Pipes and devices are refused before anything waits on them.
TEST(InputFile, RefusesAnythingButARegularFileAtOnce) {
  TempDir dir;
  ASSERT_EQ(::mkfifo(dir.file("pipe.txt").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", dir.file("zero.txt"));
  fs::create_directory(dir.file("dir.txt"));
  ::alarm(10);  // a test that waits on a pipe ends here rather than never
  for (const std::string& path :
       {dir.file("pipe.txt"), dir.file("zero.txt"), std::string("/dev/tty")}) {
    EXPECT_EQ(readWholeFile(path).status().message(),
              "ファイルを開けません (通常のファイルではありません)")
        << path;
  }
  ::alarm(0);
  EXPECT_EQ(readWholeFile(dir.file("dir.txt")).status().message(),
            "ファイルを開けません (フォルダです)");
  // A file whose size is not known beforehand is read to its end.
  EXPECT_EQ(readWholeFile("/proc/version").value(), readFile("/proc/version"));
  // 64 MiB is far more than any settings file; a byte more is refused unread.
  writeFile(dir.file("large.ini"), "");
  fs::resize_file(dir.file("large.ini"), (64 << 20) + 1);
  EXPECT_EQ(readWholeFile(dir.file("large.ini")).status().message(),
            "ファイルを読み込めません (ファイルが大きすぎます)");
}

// A stream is read from where it stands to its end, counted as it goes, and
// stays open for its owner; a closed one fails at the first read.
TEST(InputFile, ReadsAStreamAndLeavesItOpen) {
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  ASSERT_EQ(::write(ends[1], "text", 4), 4);
  ::close(ends[1]);
  char text[8];
  {
    InputFile stream;
    stream.openStream(ends[0]);
    EXPECT_EQ(stream.read(text, sizeof text).value() + stream.read(text, sizeof text).value(), 4u);
    EXPECT_EQ(stream.size(), 4u);
  }
  ASSERT_EQ(::close(ends[0]), 0) << "the stream was closed";
  InputFile closed;
  closed.openStream(ends[0]);
  EXPECT_FALSE(closed.read(text, sizeof text).ok());
}

// The permission bits of the file replaced carry over, never setuid, setgid or
// sticky, and for root so do its owner and group; temporary files that dead
// processes left are removed.
TEST(WriteFileAtomically, KeepsPermissionsCopiesTailsAndRemovesWhatDeadProcessesLeft) {
  TempDir dir;
  const pid_t dead = ::fork();
  if (dead == 0) ::_exit(0);
  ::waitpid(dead, nullptr, 0);
  const std::string of = ".morlavin-" + std::to_string(dead), target = dir.file("page.htm");
  for (const std::string& name : {of + "-0.tmp", of + "-1.old", of + "-2.tmp", of + ".tmp"})
    writeFile(dir.file(name), "x");
  for (const char* name : {".morlavin-1-0.tmp", "other-0.tmp", "page.htm"})
    writeFile(dir.file(name), "x");
  const bool root = ::geteuid() == 0;
  if (root) {
    for (const std::string& owned : {target, dir.file(of + "-2.tmp")})
      ASSERT_EQ(::chown(owned.c_str(), 65534, 65534), 0);
  }
  // New pages take the user's mask, unnamed or named; a body after a new head is copied by the
  // kernel, by hand where the kernel cannot copy, or not at all on a full disk.
  const WriterCalls fullDisk{refuse, renameOntoFreeNames, noUnnamedFiles, ::close, noSpace};
  const std::string page = dir.file("new.htm"), body((1 << 17) + 1, 'x');
  const mode_t mask = ::umask(027);
  for (const WriterCalls* calls : {&systemWriterCalls(), &kPlainFileSystem, &fullDisk}) {
    AtomicFileWriter first, second(AtomicFileWriter::Replace::kRename, *calls);
    ASSERT_TRUE(first.open(page).ok() && second.open(page).ok());
    first.append("old|" + body);
    second.append("new|");
    second.appendTail(first, 4);
    EXPECT_EQ(second.commit().code(), calls == &fullDisk ? StatusCode::kNoSpace : StatusCode::kOk);
    if (calls != &fullDisk) {
      EXPECT_EQ(readFile(page), "new|" + body);
      EXPECT_EQ(fs::status(page).permissions(), fs::perms(0640));
    }
    EXPECT_TRUE(removeFile(page).ok());  // on the full disk, a file already gone
  }
  ::umask(mask);
  for (const mode_t mode : {0600, 07755}) {
    ::chmod(target.c_str(), mode);
    ASSERT_TRUE(writeFileAtomically(target, "y").ok());
    struct stat st {};
    ::stat(target.c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, mode & 0777);
    if (root) {
      EXPECT_EQ(std::to_string(st.st_uid) + ":" + std::to_string(st.st_gid), "65534:65534");
    }
  }
  // Kept: the file set aside while a page took its place, a live process's,
  // not ours by name, and (for root, who can give it away) another user's.
  EXPECT_EQ(fileNames(dir.path()), ".morlavin-1-0.tmp " + of + "-1.old " +
                                       (root ? of + "-2.tmp " : "") + of +
                                       ".tmp other-0.tmp page.htm");
}

// A batch of pages tidies each folder it writes into once, at its first page:
// a temporary file a dead process left there afterwards is the next batch's.
TEST(FolderCache, TidiesEachFolderOnceForABatch) {
  TempDir dir;
  const pid_t dead = ::fork();
  if (dead == 0) ::_exit(0);
  ::waitpid(dead, nullptr, 0);
  const std::string left = dir.file(".morlavin-" + std::to_string(dead) + "-0.tmp");
  const auto write = [&](FolderCache& folders, const std::string& name) {
    AtomicFileWriter writer;
    ASSERT_TRUE(writer.open(dir.file(name), &folders).ok());
    writer.append(name);
    ASSERT_TRUE(writer.commit().ok());
  };
  std::string seen;
  for (int batch = 0; batch < 2; ++batch) {
    FolderCache folders;
    for (const char* name : {"a.htm", "b.htm"}) {
      writeFile(left, "x");
      write(folders, name);
      seen += fs::exists(left) ? "left " : "removed ";
    }
  }
  EXPECT_EQ(seen, "removed left removed left ");
  EXPECT_EQ(readFile(dir.file("b.htm")), "b.htm");
}

// A walk that opened a folder reads and writes in that folder, whatever its
// name comes to lead to, and never through a link at a file's name.
TEST(FolderCache, AHeldFolderStaysTheOneOpened) {
  TempDir dir;
  fs::create_directories(dir.file("tree"));
  fs::create_directories(dir.file("elsewhere"));
  writeFile(dir.file("tree/a.txt"), "listed");
  writeFile(dir.file("elsewhere/a.txt"), "elsewhere");
  fs::create_symlink("a.txt", dir.file("tree/link.txt"));
  const Result<int> tree = openFolder(dir.file("tree"));
  ASSERT_TRUE(tree.ok());
  FolderCache folders;
  folders.hold(dir.file("tree"), *tree);
  fs::rename(dir.file("tree"), dir.file("moved"));
  fs::create_symlink("elsewhere", dir.file("tree"));

  InputFile input;
  ASSERT_TRUE(input.open(dir.file("tree/a.txt"), *tree).ok());
  char text[16];
  EXPECT_EQ(std::string(text, input.read(text, sizeof text).value()), "listed");
  EXPECT_EQ(InputFile().open(dir.file("tree/link.txt"), *tree).message(),
            "ファイルを開けません (通常のファイルではありません)");
  AtomicFileWriter writer;
  ASSERT_TRUE(writer.open(dir.file("tree/a.htm"), &folders).ok());
  writer.append("page");
  ASSERT_TRUE(writer.commit().ok());
  EXPECT_EQ(readFile(dir.file("moved/a.htm")) + " " + fileNames(dir.file("elsewhere")),
            "page a.txt");
  folders.release(dir.file("tree"));
  ::close(*tree);
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
    ASSERT_TRUE(writer.open(page).ok());
    writer.append("page");
    ASSERT_TRUE(writer.commit().ok());
    row.change(dir.path());
    errno = EACCES;  // an earlier call's error is not this one's
    const Status status = removeFileIfUnchanged(page, writer.written(), "changed: ");
    EXPECT_EQ(status.message(), std::string(row.message) + (status.ok() ? "" : page));
    EXPECT_EQ(!fs::exists(page), row.gone);
  }
}

}  // namespace
}  // namespace morlavin::platform
