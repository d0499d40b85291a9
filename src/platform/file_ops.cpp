// POSIX file operations behind the small interface the core uses.
#include "platform/file_ops.h"

#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "platform/paths.h"
#include "platform/system_call.h"
#include "platform/temporary_files.h"
#include "platform/texts.h"

namespace morlavin::platform {
namespace {

std::optional<struct stat> statPath(const std::string& path) {
  struct stat st {};
  if (retryOnInterrupt([&] { return ::stat(path.c_str(), &st); }) != 0) return std::nullopt;
  return st;
}

// The folder that holds `path`, opened once so that every later step acts in
// that same folder, whatever happens to the names on the way to it, and so
// that only a short name is ever added to the path of a long one.
int openDirectoryOf(const std::string& path) {
  std::string directory(folderPrefixOf(path));
  if (directory.empty()) directory = ".";
  return retryOnInterrupt(
      [&] { return ::open(directory.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC); });
}

FileIdentity identityOf(const struct stat& st) {
  return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
          static_cast<std::uint64_t>(st.st_size), static_cast<std::int64_t>(st.st_mtim.tv_sec),
          static_cast<std::int64_t>(st.st_mtim.tv_nsec)};
}

// Waits until `fd` is ready for `events` (POLLIN, POLLOUT); false when it cannot be waited on.
bool waitFor(int fd, short events) {
  pollfd ready{fd, events, 0};
  return retryOnInterrupt([&] { return ::poll(&ready, 1, -1); }) == 1;
}

// Writes all of `bytes`; the errno of the write that failed, or 0.
int writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written =
        retryOnInterrupt([&] { return ::write(fd, bytes.data(), bytes.size()); });
    if (written < 0) return errno;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return 0;
}

int exchangeNames(int directory, const char* from, const char* to) {
  return retryOnInterrupt(
      [&] { return ::renameat2(directory, from, directory, to, RENAME_EXCHANGE); });
}

int renameOver(int directory, const char* from, const char* to) {
  return retryOnInterrupt([&] { return ::renameat(directory, from, directory, to); });
}

int openUnnamedFile(int directory, mode_t mode) {
  // An unnamed file is named at the end through /proc; without /proc it could
  // be written but never put in place.
  static const bool procMounted = ::access("/proc/self/fd", X_OK) == 0;
  if (!procMounted) return -1;
  return retryOnInterrupt(
      [&] { return ::openat(directory, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode); });
}

// The errors of a rename onto an existing name from file systems that can
// only rename onto a free one.
bool cannotReplaceInOneStep(int error) {
  return error == EEXIST || error == ENOTEMPTY || error == EPERM || error == EINVAL ||
         error == EOPNOTSUPP || error == ENOSYS;
}

// Follows the chain of symbolic links at `path` to the name at its end, at
// most 40 links as the kernel does; a relative link is read from its own
// folder. A name that is no link, or cannot be read as one, is the end.
// Fails as a write of `path` would.
Result<std::string> endOfLinks(const std::string& path) {
  std::string end = path;
  for (int hops = 0; hops <= 40; ++hops) {
    char target[PATH_MAX];
    const ssize_t size =
        retryOnInterrupt([&] { return ::readlink(end.c_str(), target, sizeof target); });
    if (size < 0) return end;
    if (static_cast<std::size_t>(size) == sizeof target) {
      return posixError(texts::files::cannotWrite(path), ENAMETOOLONG);
    }
    const std::string link(target, static_cast<std::size_t>(size));
    end = link.starts_with('/') ? link : std::string(folderPrefixOf(end)) + link;
  }
  return posixError(texts::files::cannotWrite(path), ELOOP);
}

}  // namespace

std::unique_ptr<char[]> chunkBuffer(std::size_t size) {
  std::unique_ptr<char[]> buffer(new char[size]);
  const long page = ::sysconf(_SC_PAGESIZE);
  const auto start = reinterpret_cast<std::uintptr_t>(buffer.get());
  const std::uintptr_t first = (start + page - 1) / page * page;
  const std::uintptr_t end = (start + size) / page * page;
  // A kernel without MADV_POPULATE_WRITE (before Linux 5.14) refuses it, and
  // the pages come by faults as before.
  if (end > first)
    (void)::madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
  return buffer;
}

bool exists(const std::string& path) { return statPath(path).has_value(); }

InputFile::~InputFile() { close(); }

void InputFile::close() {
  if (m_fd >= 0 && !m_stream) ::close(m_fd);
  m_fd = -1;
  m_stream = false;
}

void InputFile::openStream(int fd) {
  m_fd = fd;
  m_stream = true;
}

bool InputFile::isNamed(const std::string& path) const {
  struct stat own {};
  struct stat named {};
  return m_fd >= 0 && ::fstat(m_fd, &own) == 0 && ::lstat(path.c_str(), &named) == 0 &&
         own.st_dev == named.st_dev && own.st_ino == named.st_ino;
}

Status InputFile::open(const std::string& path, int folder) {
  const bool within = folder >= 0;
  const std::string name(within ? fileNameOf(path) : path);
  const int at = within ? folder : AT_FDCWD;
  const std::string cannotOpen(texts::files::kCannotOpen);
  const auto refuse = [&](const struct stat& st) {
    if (S_ISDIR(st.st_mode)) return posixError(cannotOpen, EISDIR);
    return Status::error(StatusCode::kNotRegularFile, cannotOpen,
                         std::string(texts::reasons::kNotRegularFile));
  };
  // Opening a pipe waits for a writer, and opening a device may act on it:
  // the type is checked first, by name, and again once the file is open, in
  // case the name was given to another file meanwhile. O_NONBLOCK keeps that
  // second open from waiting, and O_NOCTTY keeps a terminal from being taken.
  // Within a folder a link is never followed: O_NOFOLLOW makes one that
  // takes the name meanwhile an error.
  struct stat named {};
  if (retryOnInterrupt([&] {
        return ::fstatat(at, name.c_str(), &named, within ? AT_SYMLINK_NOFOLLOW : 0);
      }) != 0) {
    return posixError(cannotOpen, errno);
  }
  if (!S_ISREG(named.st_mode)) return refuse(named);
  m_fd = retryOnInterrupt([&] {
    return ::openat(at, name.c_str(),
                    O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (within ? O_NOFOLLOW : 0));
  });
  if (m_fd < 0) return posixError(cannotOpen, errno);
  struct stat st {};
  Status status = Status();
  if (::fstat(m_fd, &st) != 0) {
    status = posixError(cannotOpen, errno);
  } else if (!S_ISREG(st.st_mode)) {
    status = refuse(st);
  } else if (const int flags = ::fcntl(m_fd, F_GETFL);
             flags < 0 || ::fcntl(m_fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    status = posixError(cannotOpen, errno);
  }
  if (!status.ok()) {
    ::close(m_fd);
    m_fd = -1;
    return status;
  }
  m_size = static_cast<std::uint64_t>(st.st_size);
  return Status();
}

Result<std::size_t> InputFile::read(char* buffer, std::size_t capacity) {
  if (m_fd < 0) return 0;
  ssize_t got = retryOnInterrupt([&] { return ::read(m_fd, buffer, capacity); });
  // A stream that another program made non-blocking has not ended when it is
  // empty for a moment.
  while (got < 0 && errno == EAGAIN && m_stream && waitFor(m_fd, POLLIN)) {
    got = retryOnInterrupt([&] { return ::read(m_fd, buffer, capacity); });
  }
  if (got >= 0) {
    if (m_stream) m_size += static_cast<std::uint64_t>(got);
    return static_cast<std::size_t>(got);
  }
  Status failed = posixError(std::string(texts::files::kCannotRead), errno);
  close();
  return failed;
}

Result<std::string> readWholeFile(const std::string& path) {
  // A settings file is a few kilobytes: one larger than this is no settings
  // file, and asking for its size in memory could end the program.
  constexpr std::uint64_t kLargest = 64 << 20;
  const auto tooLarge = [] { return posixError(std::string(texts::files::kCannotRead), EFBIG); };
  InputFile file;
  if (Status status = file.open(path); !status.ok()) return status;
  if (file.size() > kLargest) return tooLarge();
  // One byte more than the size, so that the end is seen without a regrowth.
  std::string out(static_cast<std::size_t>(file.size()) + 1, '\0');
  std::size_t size = 0;
  for (;;) {
    if (size == out.size()) out.resize(out.size() * 2);
    const Result<std::size_t> got = file.read(out.data() + size, out.size() - size);
    if (!got.ok()) return got.status();
    if (*got == 0) break;
    size += *got;
    if (size > kLargest) return tooLarge();  // grown since it was opened
  }
  out.resize(size);
  return out;
}

Status removeFile(const std::string& path) {
  if (retryOnInterrupt([&] { return ::unlink(path.c_str()); }) == 0 || errno == ENOENT) {
    return Status();
  }
  return posixError(texts::files::cannotDelete(path), errno);
}

Status removeFileIfUnchanged(const std::string& path, const FileIdentity& written,
                             std::string_view changedMessage) {
  const std::string failed = texts::files::cannotDelete(path);
  const int directory = openDirectoryOf(path);
  if (directory < 0) return errno == ENOENT ? Status() : posixError(failed, errno);
  const std::string name(fileNameOf(path));
  Status status = Status();
  struct stat st {};
  if (::fstatat(directory, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
    if (errno != ENOENT) status = posixError(failed, errno);
  } else if (S_ISDIR(st.st_mode)) {
    // No page either way; "a folder" tells the user more than "changed".
    status = posixError(failed, EISDIR);
  } else if (identityOf(st) != written) {
    status = Status::error(StatusCode::kChanged, std::string(changedMessage) + path);
  } else if (retryOnInterrupt([&] { return ::unlinkat(directory, name.c_str(), 0); }) != 0 &&
             errno != ENOENT) {
    status = posixError(failed, errno);
  }
  ::close(directory);
  return status;
}

const WriterCalls& systemWriterCalls() {
  static const WriterCalls calls{exchangeNames, renameOver, openUnnamedFile, ::close};
  return calls;
}

FolderCache::~FolderCache() {
  for (const Folder& folder : m_folders) ::close(folder.fd);
}

Result<int> FolderCache::folderOf(const std::string& target) {
  const std::string path(folderPrefixOf(target));
  if (const auto known = find(path); known != m_folders.end()) {
    std::rotate(known, known + 1, m_folders.end());
    return m_folders.back().fd;
  }
  const int fd = openDirectoryOf(target);
  if (fd < 0) return posixError(texts::files::cannotWrite(target), errno);
  add({path, fd, false});
  return fd;
}

void FolderCache::hold(const std::string& folderPath, int folder) {
  std::string path = folderPath.ends_with('/') ? folderPath : folderPath + '/';
  if (const auto known = find(path); known != m_folders.end()) {
    ::close(known->fd);
    m_folders.erase(known);
  }
  const int fd = ::fcntl(folder, F_DUPFD_CLOEXEC, 0);
  if (fd >= 0) add({std::move(path), fd, true});
}

void FolderCache::release(const std::string& folderPath) {
  const auto known = find(folderPath.ends_with('/') ? folderPath : folderPath + '/');
  if (known != m_folders.end()) known->held = false;
}

std::vector<FolderCache::Folder>::iterator FolderCache::find(const std::string& path) {
  return std::find_if(m_folders.begin(), m_folders.end(),
                      [&](const Folder& folder) { return folder.path == path; });
}

void FolderCache::add(Folder folder) {
  removeStaleTemporaryFiles(folder.fd);
  const auto unheld = std::find_if(m_folders.begin(), m_folders.end(),
                                   [](const Folder& kept) { return !kept.held; });
  if (m_folders.size() >= kKept && unheld != m_folders.end()) {
    ::close(unheld->fd);
    m_folders.erase(unheld);
  }
  m_folders.push_back(std::move(folder));
}

AtomicFileWriter::~AtomicFileWriter() { discard(); }

Status AtomicFileWriter::open(const std::string& target, FolderCache* folders) {
  discard();
  m_target = target;
  m_name = fileNameOf(target);
  m_writing = Status();
  m_written = {};
  m_replacing = false;
  // A refused target leaves what was opened for it to the next open() or the
  // destructor, which let go of it in any case.
  if (m_name.empty()) return failure(EISDIR);
  m_ownsDirectory = folders == nullptr;
  if (folders != nullptr) {
    const Result<int> folder = folders->folderOf(target);
    if (!folder.ok()) return folder.status();
    m_directory = *folder;
  } else {
    m_directory = openDirectoryOf(target);
    if (m_directory < 0) return failure(errno);
  }
  struct stat existing {};
  const bool replacing = ::fstatat(m_directory, m_name.c_str(), &existing, 0) == 0;
  if (replacing && S_ISDIR(existing.st_mode)) return failure(EISDIR);
  if (replacing && S_ISREG(existing.st_mode) && (existing.st_mode & 0222) == 0) {
    return Status::error(StatusCode::kReadOnly, texts::files::cannotWrite(target),
                         std::string(texts::reasons::kReadOnlyFile));
  }
  m_replacing = replacing;
  if (m_ownsDirectory) removeStaleTemporaryFiles(m_directory);

  m_fd = m_calls.openUnnamed(m_directory, 0666);
  if (m_fd < 0) {
    const Result<int> named = openNamedTemporary(O_WRONLY, 0666);
    if (!named.ok()) return named.status();
    m_fd = *named;
  }
  // Root rewriting another user's page leaves it theirs. Only a file in its
  // own name counts: a link's owner says nothing about the page, and where
  // no file had the name there is nobody to leave it to.
  struct stat own {};
  if (replacing && ::geteuid() == 0 &&
      ::fstatat(m_directory, m_name.c_str(), &own, AT_SYMLINK_NOFOLLOW) == 0 &&
      S_ISREG(own.st_mode)) {
    (void)::fchown(m_fd, own.st_uid, own.st_gid);
  }
  // A page is data: setuid, setgid and sticky bits never carry over to it.
  if (replacing && S_ISREG(existing.st_mode)) (void)::fchmod(m_fd, existing.st_mode & 0777);
  return Status();
}

Status AtomicFileWriter::openStream(int fd) {
  discard();
  m_target = texts::files::kStandardOutput;
  m_writing = Status();
  m_written = {};
  m_replacing = false;
  const char* folder = ::getenv("TMPDIR");
  if (folder == nullptr || folder[0] != '/') folder = "/tmp";
  m_ownsDirectory = true;
  m_directory = retryOnInterrupt([&] { return ::open(folder, O_PATH | O_DIRECTORY | O_CLOEXEC); });
  if (m_directory < 0) return failure(errno);
  // Read back at the end, and nobody else's business: readable by the owner only.
  m_fd = retryOnInterrupt(
      [&] { return ::openat(m_directory, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600); });
  if (m_fd < 0) {
    const Result<int> named = openNamedTemporary(O_RDWR, 0600);
    if (!named.ok()) return named.status();
    m_fd = *named;
    // The open descriptor is all that is needed of it; without a name it
    // cannot be left behind.
    (void)::unlinkat(m_directory, m_temporary.c_str(), 0);
    m_temporary.clear();
    forgetTemporaryFile(std::exchange(m_ticket, std::nullopt));
  }
  m_stream = fd;
  return Status();
}

Status AtomicFileWriter::failure(int errnoValue) const {
  return posixError(texts::files::cannotWrite(m_target), errnoValue);
}

Result<int> AtomicFileWriter::openNamedTemporary(int access, mode_t mode) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    forgetTemporaryFile(m_ticket);
    m_temporary = temporaryName();
    // Remembered before it exists: a signal in between finds nothing to remove.
    m_ticket = rememberTemporaryFile(m_directory, m_temporary);
    const int fd = retryOnInterrupt([&] {
      return ::openat(m_directory, m_temporary.c_str(), access | O_CREAT | O_EXCL | O_CLOEXEC,
                      mode);
    });
    if (fd >= 0) return fd;
    if (errno != EEXIST) break;
  }
  Status failed = failure(errno);
  m_temporary.clear();
  return failed;
}

void AtomicFileWriter::appendSlow(std::string_view bytes) {
  // The buffer is filled to the brim before it is written, so that every
  // write covers whole pages of the file: the kernel then neither zeroes
  // nor revisits a page that a write only began.
  const std::size_t room = kBufferSize - m_used;
  std::memcpy(m_buffer.get() + m_used, bytes.data(), room);
  m_used = kBufferSize;
  bytes.remove_prefix(room);
  flush();
  const std::size_t whole = bytes.size() - bytes.size() % kBufferSize;
  if (m_fd >= 0 && m_writing.ok()) {
    if (const int error = writeAll(m_fd, bytes.substr(0, whole)); error != 0)
      m_writing = failure(error);
  }
  bytes.remove_prefix(whole);
  std::memcpy(m_buffer.get(), bytes.data(), bytes.size());
  m_used = bytes.size();
}

void AtomicFileWriter::flush() {
  if (m_fd >= 0 && m_writing.ok()) {
    if (const int error = writeAll(m_fd, {m_buffer.get(), m_used}); error != 0)
      m_writing = failure(error);
  }
  m_used = 0;
}

Status AtomicFileWriter::commit() {
  if (m_fd < 0) return Status::error(StatusCode::kIoError, texts::files::cannotWrite(m_target));
  flush();
  // Renaming keeps the file's identity, so it is taken while the file is
  // still ours alone.
  struct stat st {};
  Status status = std::move(m_writing);
  if (status.ok() && ::fstat(m_fd, &st) != 0) status = failure(errno);
  if (m_stream >= 0) {
    if (status.ok()) status = copyToStream(st.st_size);
  } else {
    if (status.ok() && m_temporary.empty()) status = nameUnnamedFile();
    if (m_calls.close(m_fd) != 0 && status.ok()) status = failure(errno);
    m_fd = -1;
    if (status.ok()) status = moveIntoPlace();
  }
  discard();
  if (status.ok()) m_written = identityOf(st);
  return status;
}

Status AtomicFileWriter::copyToStream(off_t size) {
  off_t position = 0;
  // The kernel copies straight from the file where the stream takes it (a
  // pipe, a file); a terminal, or a stream opened for appending, gets it by hand.
  while (position < size) {
    const ssize_t sent =
        ::sendfile(m_stream, m_fd, &position, static_cast<std::size_t>(size - position));
    if (sent > 0) continue;
    if (sent == 0) return failure(EIO);  // the file is shorter than it was a moment ago
    if (errno == EINTR || (errno == EAGAIN && waitFor(m_stream, POLLOUT))) continue;
    if (errno == EINVAL || errno == ENOSYS) break;
    return failure(errno);
  }
  while (position < size) {
    const ssize_t got = retryOnInterrupt([&] {
      return ::pread(m_fd, m_buffer.get(), std::min<off_t>(kBufferSize, size - position), position);
    });
    if (got <= 0) return failure(got == 0 ? EIO : errno);
    for (std::size_t done = 0; done < static_cast<std::size_t>(got);) {
      const ssize_t put =
          ::write(m_stream, m_buffer.get() + done, static_cast<std::size_t>(got) - done);
      if (put > 0) {
        done += static_cast<std::size_t>(put);
      } else if (put == 0) {
        return failure(EIO);
      } else if (errno != EINTR && !(errno == EAGAIN && waitFor(m_stream, POLLOUT))) {
        return failure(errno);
      }
    }
    position += got;
  }
  return Status();
}

Status AtomicFileWriter::nameUnnamedFile() {
  char self[32];
  std::snprintf(self, sizeof self, "/proc/self/fd/%d", m_fd);
  for (int attempt = 0; attempt < 100; ++attempt) {
    forgetTemporaryFile(m_ticket);
    m_temporary = temporaryName();
    m_ticket = rememberTemporaryFile(m_directory, m_temporary);
    if (retryOnInterrupt([&] {
          return ::linkat(AT_FDCWD, self, m_directory, m_temporary.c_str(), AT_SYMLINK_FOLLOW);
        }) == 0) {
      return Status();
    }
    if (errno != EEXIST) break;
  }
  Status failed = failure(errno);
  m_temporary.clear();
  return failed;
}

Status AtomicFileWriter::moveIntoPlace() {
  const char* from = m_temporary.c_str();
  const char* to = m_name.c_str();
  // With no earlier file there is nothing to exchange with: a rename puts
  // the file in place, and it still replaces one that came meanwhile.
  if (m_replace == Replace::kExchange && m_replacing &&
      m_calls.exchange(m_directory, from, to) == 0) {
    // The temporary name now holds the earlier file; discard() deletes it.
    return Status();
  }
  // A file system that cannot exchange.
  if (m_calls.rename(m_directory, from, to) == 0) {
    m_temporary.clear();
    return Status();
  }
  const int error = errno;
  struct stat st {};
  if (!cannotReplaceInOneStep(error) || ::fstatat(m_directory, to, &st, AT_SYMLINK_NOFOLLOW) != 0) {
    return failure(error);
  }
  return moveIntoPlaceStepwise();
}

Status AtomicFileWriter::moveIntoPlaceStepwise() {
  // For a moment the name holds no file. A signal then would leave it so, or
  // remove the new file: INT, TERM and HUP wait until the name holds one again.
  sigset_t signals;
  sigset_t previous;
  sigemptyset(&signals);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&signals, signal);
  ::pthread_sigmask(SIG_BLOCK, &signals, &previous);
  // Named unlike a temporary file, so that no later run takes the earlier
  // file for debris should this process die right now.
  const std::string aside = temporaryName(".old");
  Status status;
  if (m_calls.rename(m_directory, m_name.c_str(), aside.c_str()) != 0) {
    status = failure(errno);
  } else if (m_calls.rename(m_directory, m_temporary.c_str(), m_name.c_str()) != 0) {
    status = failure(errno);
    (void)m_calls.rename(m_directory, aside.c_str(), m_name.c_str());
  } else {
    m_temporary.clear();
    (void)::unlinkat(m_directory, aside.c_str(), 0);
  }
  ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  return status;
}

void AtomicFileWriter::discard() {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
  if (!m_temporary.empty()) (void)::unlinkat(m_directory, m_temporary.c_str(), 0);
  m_temporary.clear();
  forgetTemporaryFile(std::exchange(m_ticket, std::nullopt));
  if (m_directory >= 0 && m_ownsDirectory) ::close(m_directory);
  m_directory = -1;
  m_stream = -1;
  m_used = 0;
}

void AtomicFileWriter::appendTail(AtomicFileWriter& source, std::uint64_t offset) {
  source.flush();
  flush();
  if (m_fd < 0 || !m_writing.ok()) return;
  if (source.m_fd < 0 || !source.m_writing.ok()) {
    m_writing = source.m_writing.ok() ? failure(EBADF) : source.m_writing;
    return;
  }
  // The source was opened for writing only; its file is read through a
  // descriptor of its own, which works for a file without a name too.
  const int in =
      ::open(("/proc/self/fd/" + std::to_string(source.m_fd)).c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) {
    m_writing = failure(errno);
    return;
  }
  auto position = static_cast<off_t>(offset);
  bool byHand = false;
  for (;;) {
    const ssize_t copied = m_calls.copyRange(in, &position, m_fd, nullptr, std::size_t{1} << 30, 0);
    if (copied > 0 || (copied < 0 && errno == EINTR)) continue;
    if (copied < 0) {
      byHand = errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP;
      if (!byHand) m_writing = failure(errno);
    }
    break;
  }
  // Where the kernel cannot copy between these files: from where it stopped.
  while (byHand) {
    const ssize_t got = ::pread(in, m_buffer.get(), kBufferSize, position);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) m_writing = failure(errno);
    if (got <= 0) break;
    if (const int error = writeAll(m_fd, {m_buffer.get(), static_cast<std::size_t>(got)});
        error != 0) {
      m_writing = failure(error);
      break;
    }
    position += got;
  }
  ::close(in);
}

Status writeFileAtomically(const std::string& path, std::string_view contents) {
  const Result<std::string> file = endOfLinks(path);
  if (!file.ok()) return file.status();
  AtomicFileWriter writer;
  if (Status status = writer.open(*file); !status.ok()) return status;
  writer.append(contents);
  return writer.commit();
}

Status copyFile(const std::string& from, const std::string& to) {
  const Result<std::string> contents = readWholeFile(from);
  if (!contents.ok()) return contents.status();
  return writeFileAtomically(to, *contents);
}

}  // namespace morlavin::platform
