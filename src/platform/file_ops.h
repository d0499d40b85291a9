// The file-system services the program needs: tests, whole-file reads, and
// writes that replace a file only once its new contents are complete.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace morlavin::platform {

bool exists(const std::string& path);
// True for an existing regular file (following links); false for folders,
// devices, sockets and missing paths.
bool isRegularFile(const std::string& path);
std::optional<std::uint64_t> fileSize(const std::string& path);

// A regular file opened for reading in chunks, so that a file of any size is
// read with a small, reused buffer.
class InputFile {
 public:
  InputFile() = default;
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Fails for a missing or unreadable file and for anything but a regular file.
  Status open(const std::string& path);
  // Reads up to `capacity` bytes into `buffer`; 0 at the end of the file or
  // after an error, which error() then describes.
  std::size_t read(char* buffer, std::size_t capacity);
  const Status& error() const { return m_error; }
  // The file's size when it was opened.
  std::uint64_t size() const { return m_size; }

 private:
  int m_fd = -1;
  std::uint64_t m_size = 0;
  Status m_error;
};

// Reads the whole regular file at `path` (for small files such as settings).
Status readWholeFile(const std::string& path, std::string& out);

// Deletes a file. A file that is already gone counts as deleted.
Status removeFile(const std::string& path);

// Writes a file by way of a temporary file beside it that is renamed over the
// target only when complete, so that a failed write leaves the earlier file as
// it was. Output is buffered; errors are remembered and reported by commit().
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

  explicit AtomicFileWriter(Replace replace = Replace::kRename) : m_replace(replace) {}
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
  // Appends what `source` has been given after its first `offset` bytes,
  // copied within the kernel where the file system can.
  void appendTail(AtomicFileWriter& source, std::uint64_t offset);

  // Creates the temporary file for `target`. Refuses a target that is a folder
  // or is marked read-only. An existing target's permissions carry over.
  Status open(const std::string& target);
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
  // Flushes, closes and renames the temporary file over the target.
  Status commit();

 private:
  static constexpr std::size_t kBufferSize = 64 << 10;

  void appendSlow(std::string_view bytes);
  void flush();
  int moveIntoPlace();
  void discard();

  Replace m_replace;
  std::string m_target;
  std::string m_temporary;
  int m_fd = -1;
  int m_errno = 0;
  std::unique_ptr<char[]> m_buffer{new char[kBufferSize]};
  std::size_t m_used = 0;
};

// Replaces the file at `path` with `contents` atomically (see AtomicFileWriter).
Status writeFileAtomically(const std::string& path, std::string_view contents);

// Copies `from` over `to`, replacing `to` atomically.
Status copyFile(const std::string& from, const std::string& to);

}  // namespace morlavin::platform
