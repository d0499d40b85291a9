// The file-system services the program needs: tests, whole-file reads, and
// writes that replace a file only once its new contents are complete.
#pragma once

#include <sys/types.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace morlavin::platform {

bool exists(const std::string& path);

// A buffer for reading or writing a file in chunks. Its pages are asked of the
// kernel in one call rather than by a fault each as it fills, which is much of
// the cost of a short run on some virtual machines.
std::unique_ptr<char[]> chunkBuffer(std::size_t size);

// A regular file opened for reading in chunks, so that a file of any size is
// read with a small, reused buffer.
class InputFile {
 public:
  InputFile() = default;
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Each file is opened once, by one of the two.
  // Fails for a missing or unreadable file and, without opening it or waiting
  // for it, for anything but a regular file: a pipe, a device or a socket.
  // With `folder` (open), the file is the one of path's file name within that
  // folder, and a link at that name is refused, not followed.
  Status open(const std::string& path, int folder = -1);
  // Reads the stream open as `fd` (standard input: a pipe, a terminal or a
  // file), once, from where it stands to its end. The descriptor stays open
  // for its owner; a closed one fails at the first read.
  void openStream(int fd);
  // Reads up to `capacity` bytes into `buffer`: how many, 0 at the end of
  // the file. A read that fails says why and closes the file: every later
  // read gives 0.
  Result<std::size_t> read(char* buffer, std::size_t capacity);
  // The file's size when it was opened; for a stream, whose size is known
  // only at its end, the bytes read so far.
  std::uint64_t size() const { return m_size; }
  bool isStream() const { return m_stream; }
  // Whether `path` names this very file (not following a link at its end):
  // writing there would destroy the text being read.
  bool isNamed(const std::string& path) const;

 private:
  void close();

  int m_fd = -1;
  bool m_stream = false;
  std::uint64_t m_size = 0;
};

// The bytes of the whole regular file at `path` (for small files such as
// settings). Refuses anything but a regular file without blocking, and a
// file of more than 64 MiB (kTooLong), which no settings file is.
Result<std::string> readWholeFile(const std::string& path);

// Deletes a file. A file that is already gone counts as deleted.
Status removeFile(const std::string& path);

// Which file a name held when it was written: another file, or the same file
// changed since, differs in at least one field.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::uint64_t size = 0;
  std::int64_t modifiedSeconds = 0;
  std::int64_t modifiedNanoseconds = 0;

  bool operator==(const FileIdentity&) const = default;
};

// Deletes the file at `path` only while it is still the file `written`
// describes; a link at that name is never followed. A file that is gone counts
// as deleted. Anything else at that name, including a name that now leads to
// another folder, stays, and the result is `changedMessage` followed by the path.
Status removeFileIfUnchanged(const std::string& path, const FileIdentity& written,
                             std::string_view changedMessage);

// The calls through which a writer makes its file and moves it into place,
// within the folder open as `directory`; they return as the system calls do.
// Tests replace them to stand for a file system that lacks some of them.
struct WriterCalls {
  // Swaps the two names (renameat2 with RENAME_EXCHANGE).
  int (*exchange)(int directory, const char* from, const char* to);
  // Renames `from` to `to`, replacing a file at `to` (renameat).
  int (*rename)(int directory, const char* from, const char* to);
  // Opens an unnamed file in the folder for writing (O_TMPFILE), or -1.
  int (*openUnnamed)(int directory, mode_t mode);
  // Closes the finished file (close); where the data is only then written, its
  // failure is the write's.
  int (*close)(int fd);
  // Copies bytes from one file to another within the kernel (copy_file_range).
  ssize_t (*copyRange)(int in, off_t* inOffset, int out, off_t* outOffset, std::size_t length,
                       unsigned flags) = ::copy_file_range;
};
const WriterCalls& systemWriterCalls();

// The folders a batch of pages is written into, each opened, and cleared of
// the temporary files that dead processes left there, once however many pages
// go into it: the cost of a page then does not grow with its folder. The
// last few folders asked for stay open, and so do the folders held; a writer
// handed the cache must be done before that many other folders have been
// asked for, and the cache must outlive it.
class FolderCache {
 public:
  FolderCache() = default;
  ~FolderCache();
  FolderCache(const FolderCache&) = delete;
  FolderCache& operator=(const FolderCache&) = delete;

  // The folder that holds `target` (its path up to the last slash; the
  // current folder for a bare name), open for acting on names within it;
  // owned by the cache. Fails, as a write of `target`, when it cannot be opened.
  Result<int> folderOf(const std::string& target);
  // Takes the folder open as `folder` (a copy of the descriptor) for the
  // pages in `folderPath`, tidies it, and holds it until release(): a walk
  // that opened each folder from its parent, never through a link, writes
  // into the folder it listed whatever happens to the names meanwhile.
  void hold(const std::string& folderPath, int folder);
  void release(const std::string& folderPath);

 private:
  static constexpr std::size_t kKept = 8;
  struct Folder {
    std::string path;  // ends in "/", or is empty for the current folder
    int fd;
    bool held;
  };
  std::vector<Folder>::iterator find(const std::string& path);
  void add(Folder folder);

  std::vector<Folder> m_folders;  // the most recently asked for last
};

// Writes a file by way of a temporary file beside it that is renamed over the
// target only when complete, so that a failed write leaves the earlier file as
// it was. Output is buffered; the first failure of a write stops the writing
// and is what commit() returns.
// A file that is not committed is removed when the writer is destroyed.
class AtomicFileWriter {
 public:
  // How the finished file takes the target's place. kRename replaces it in one
  // rename; ext4 takes that as a replacement and starts writing the new data
  // back at once, which guards small files such as settings against a crash.
  // kExchange swaps the two files atomically and then deletes the old one,
  // which avoids that forced write-back: a large page that can be made again
  // is written as fast as any other file.
  enum class Replace { kRename, kExchange };

  explicit AtomicFileWriter(Replace replace = Replace::kRename,
                            const WriterCalls& calls = systemWriterCalls())
      : m_replace(replace), m_calls(calls) {}
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
  // Appends what `source` has been given after its first `offset` bytes,
  // copied within the kernel where the file system can.
  void appendTail(AtomicFileWriter& source, std::uint64_t offset);

  // Creates the temporary file for `target`: an unnamed one where the file
  // system allows it, otherwise one with a short name of its own beside the
  // target, removed should SIGINT, SIGTERM or SIGHUP end the program (see
  // removeTemporaryFilesOnSignals). First removes the temporary files that
  // dead processes of this user left in that folder, or has `folders` do so
  // once for the folder. Refuses a target that is a folder or is marked
  // read-only. A link at the target's name is replaced, not written through.
  // An existing target's permission bits carry over (never setuid, setgid or
  // sticky), and so, for root, do its owner and group.
  Status open(const std::string& target, FolderCache* folders = nullptr);
  // Builds the file in an unnamed temporary file of the temporary-files folder
  // ($TMPDIR, else /tmp) and on commit() copies it whole to the stream open as
  // `fd` (standard output), which stays open. Nothing reaches the stream
  // before commit().
  Status openStream(int fd);
  void append(std::string_view bytes) {
    // The common case, a short piece that fits, stays inline: a page is
    // written a few pieces per line.
    if (bytes.size() <= kBufferSize - m_used) {
      std::memcpy(m_buffer.get() + m_used, bytes.data(), bytes.size());
      m_used += bytes.size();
    } else {
      appendSlow(bytes);
    }
  }
  // For a stream: flushes and copies the file to the stream. Otherwise
  // flushes, closes and moves the temporary file into the target's place:
  // by exchanging the two, else by renaming over the target, else, where the
  // file system can do neither, by moving the earlier file aside first and
  // back should the new one not take its place. The name holds a whole file
  // before and after.
  Status commit();
  // The file commit() put in place.
  const FileIdentity& written() const { return m_written; }

 private:
  static constexpr std::size_t kBufferSize = 64 << 10;

  void appendSlow(std::string_view bytes);
  void flush();
  // Fails as a write of the target, because of `errnoValue`.
  Status failure(int errnoValue) const;
  Result<int> openNamedTemporary(int access, mode_t mode);
  Status copyToStream(off_t size);
  Status nameUnnamedFile();
  Status moveIntoPlace();
  Status moveIntoPlaceStepwise();
  void discard();

  Replace m_replace;
  const WriterCalls& m_calls;
  std::string m_target;     // for messages
  std::string m_name;       // the target's name within m_directory
  std::string m_temporary;  // empty while the file has no name
  int m_directory = -1;
  bool m_ownsDirectory = false;  // not one of a FolderCache's
  bool m_replacing = false;      // a file had the target's name when the writer opened
  std::optional<int> m_ticket;   // while a signal would remove the named temporary file
  int m_fd = -1;
  int m_stream = -1;  // where commit() copies the file, or -1 to put it in place
  Status m_writing;   // the first write that failed; nothing is written after it
  FileIdentity m_written;
  std::unique_ptr<char[]> m_buffer = chunkBuffer(kBufferSize);
  std::size_t m_used = 0;
};

// Replaces the file at `path` with `contents` atomically (see AtomicFileWriter).
// Where `path` is a symbolic link, the file at the end of its chain is
// replaced and the links stay: a settings file kept elsewhere stays there.
Status writeFileAtomically(const std::string& path, std::string_view contents);

// Copies `from` over `to`, replacing `to` atomically.
Status copyFile(const std::string& from, const std::string& to);

}  // namespace morlavin::platform
