// POSIX file operations behind the small interface the core uses.
#include "platform/file_ops.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace morlavin::platform {
namespace {

std::optional<struct stat> statPath(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return st;
}

std::string directoryOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return "";
  return path.substr(0, slash + 1);
}

std::string baseNameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool writeAll(int fd, std::string_view bytes, int& error) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      error = errno;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

bool exists(const std::string& path) { return statPath(path).has_value(); }

bool isRegularFile(const std::string& path) {
  const auto st = statPath(path);
  return st && S_ISREG(st->st_mode);
}

std::optional<std::uint64_t> fileSize(const std::string& path) {
  const auto st = statPath(path);
  if (!st) return std::nullopt;
  return static_cast<std::uint64_t>(st->st_size);
}

InputFile::~InputFile() {
  if (m_fd >= 0) ::close(m_fd);
}

Status InputFile::open(const std::string& path) {
  if (m_fd >= 0) ::close(m_fd);
  m_error = Status::ok();
  m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (m_fd < 0) return Status::fromErrno("ファイルを開けません", errno);
  struct stat st {};
  int error = 0;
  if (::fstat(m_fd, &st) != 0) error = errno;
  else if (S_ISDIR(st.st_mode)) error = EISDIR;
  else if (!S_ISREG(st.st_mode)) error = EINVAL;
  if (error != 0) {
    ::close(m_fd);
    m_fd = -1;
    return Status::fromErrno("ファイルを開けません", error);
  }
  m_size = static_cast<std::uint64_t>(st.st_size);
  return Status::ok();
}

std::size_t InputFile::read(char* buffer, std::size_t capacity) {
  if (m_fd < 0) return 0;
  for (;;) {
    const ssize_t got = ::read(m_fd, buffer, capacity);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno == EINTR) continue;
    m_error = Status::fromErrno("ファイルを読み込めません", errno);
    ::close(m_fd);
    m_fd = -1;
    return 0;
  }
}

Status readWholeFile(const std::string& path, std::string& out) {
  out.clear();
  InputFile file;
  if (Status status = file.open(path); !status) return status;
  out.resize(static_cast<std::size_t>(file.size()));
  std::size_t size = 0;
  for (;;) {
    if (size == out.size()) out.resize(out.size() * 2 + 4096);
    const std::size_t got = file.read(out.data() + size, out.size() - size);
    if (got == 0) break;
    size += got;
  }
  out.resize(size);
  return file.error();
}

Status removeFile(const std::string& path) {
  if (::unlink(path.c_str()) == 0 || errno == ENOENT) return Status::ok();
  return Status::fromErrno("ファイルを削除できません: " + path, errno);
}

AtomicFileWriter::~AtomicFileWriter() { discard(); }

Status AtomicFileWriter::open(const std::string& target) {
  discard();
  m_target = target;
  m_errno = 0;
  const auto existing = statPath(target);
  if (existing && S_ISDIR(existing->st_mode)) {
    return Status::fromErrno("書き込めません: " + target, EISDIR);
  }
  if (existing && S_ISREG(existing->st_mode) && (existing->st_mode & 0222) == 0) {
    return Status::error("書き込めません: " + target + " (読み取り専用のファイルです)");
  }
  static std::atomic<unsigned> counter{0};
  const std::string stem = directoryOf(target) + "." + baseNameOf(target) + ".tmp-" +
                           std::to_string(::getpid()) + "-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    m_temporary = stem + std::to_string(counter++);
    m_fd = ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (m_fd >= 0 || errno != EEXIST) break;
  }
  if (m_fd < 0) {
    const int error = errno;
    m_temporary.clear();
    return Status::fromErrno("書き込めません: " + target, error);
  }
  if (existing && S_ISREG(existing->st_mode)) ::fchmod(m_fd, existing->st_mode & 07777);
  return Status::ok();
}

void AtomicFileWriter::appendSlow(std::string_view bytes) {
  flush();
  if (bytes.size() >= kBufferSize) {
    if (m_fd >= 0 && m_errno == 0) writeAll(m_fd, bytes, m_errno);
  } else {
    std::memcpy(m_buffer.get(), bytes.data(), bytes.size());
    m_used = bytes.size();
  }
}

void AtomicFileWriter::flush() {
  if (m_fd >= 0 && m_errno == 0) writeAll(m_fd, {m_buffer.get(), m_used}, m_errno);
  m_used = 0;
}

Status AtomicFileWriter::commit() {
  if (m_fd < 0) return Status::error("書き込めません: " + m_target);
  flush();
  if (::close(m_fd) != 0 && m_errno == 0) m_errno = errno;
  m_fd = -1;
  if (m_errno == 0) m_errno = moveIntoPlace();
  if (m_errno != 0) {
    const int error = m_errno;
    discard();
    return Status::fromErrno("書き込めません: " + m_target, error);
  }
  discard();
  return Status::ok();
}

int AtomicFileWriter::moveIntoPlace() {
  if (m_replace == Replace::kExchange &&
      ::renameat2(AT_FDCWD, m_temporary.c_str(), AT_FDCWD, m_target.c_str(), RENAME_EXCHANGE) == 0) {
    // The temporary name now holds the earlier file; discard() deletes it.
    return 0;
  }
  // No earlier file to exchange with, or a file system that cannot exchange.
  if (::rename(m_temporary.c_str(), m_target.c_str()) != 0) return errno;
  m_temporary.clear();
  return 0;
}

void AtomicFileWriter::discard() {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
  if (!m_temporary.empty()) ::unlink(m_temporary.c_str());
  m_temporary.clear();
  m_used = 0;
}

void AtomicFileWriter::appendTail(AtomicFileWriter& source, std::uint64_t offset) {
  source.flush();
  flush();
  if (m_fd < 0 || m_errno != 0) return;
  if (source.m_fd < 0 || source.m_errno != 0) {
    m_errno = source.m_errno != 0 ? source.m_errno : EBADF;
    return;
  }
  // The source was opened for writing only; its file is read through a
  // descriptor of its own, which works for a file without a name too.
  const int in = ::open(("/proc/self/fd/" + std::to_string(source.m_fd)).c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) {
    m_errno = errno;
    return;
  }
  auto position = static_cast<off_t>(offset);
  bool byHand = false;
  for (;;) {
    const ssize_t copied = ::copy_file_range(in, &position, m_fd, nullptr, std::size_t{1} << 30, 0);
    if (copied > 0 || (copied < 0 && errno == EINTR)) continue;
    if (copied < 0) {
      byHand = errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP;
      if (!byHand) m_errno = errno;
    }
    break;
  }
  // Where the kernel cannot copy between these files: from where it stopped.
  while (byHand) {
    const ssize_t got = ::pread(in, m_buffer.get(), kBufferSize, position);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) m_errno = errno;
    if (got <= 0 || !writeAll(m_fd, {m_buffer.get(), static_cast<std::size_t>(got)}, m_errno)) break;
    position += got;
  }
  ::close(in);
}

Status writeFileAtomically(const std::string& path, std::string_view contents) {
  AtomicFileWriter writer;
  if (Status status = writer.open(path); !status) return status;
  writer.append(contents);
  return writer.commit();
}

Status copyFile(const std::string& from, const std::string& to) {
  std::string contents;
  if (Status status = readWholeFile(from, contents); !status) return status;
  return writeFileAtomically(to, contents);
}

}  // namespace morlavin::platform
