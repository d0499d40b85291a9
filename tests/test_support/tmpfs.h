// A small memory file system mounted over a folder for one test: a disk that
// fills up, or a folder that cannot be written even by root.
#pragma once

#include <sys/mount.h>

#include <string>

#include "test_support/temp_dir.h"

namespace morlavin::test {

class Tmpfs {
 public:
  // Mounts `bytes` of tmpfs over the folder `path`; ok() is false where the
  // machine does not allow it (not root, no mount rights).
  Tmpfs(std::string path, int bytes) : m_path(std::move(path)) {
    const std::string options = "size=" + std::to_string(bytes);
    m_mounted = ::mount("tmpfs", m_path.c_str(), "tmpfs", 0, options.c_str()) == 0;
  }
  ~Tmpfs() {
    if (m_mounted) ::umount2(m_path.c_str(), MNT_DETACH);
  }
  Tmpfs(const Tmpfs&) = delete;
  Tmpfs& operator=(const Tmpfs&) = delete;

  bool ok() const { return m_mounted; }
  // Whether this machine lets the tests mount one (as root it does).
  static bool possible() {
    TempDir dir;
    return Tmpfs(dir.path(), 4096).ok();
  }
  // Makes the whole file system read-only: nothing in it can change any more.
  bool makeReadOnly() {
    return ::mount(nullptr, m_path.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
  }

 private:
  std::string m_path;
  bool m_mounted = false;
};

}  // namespace morlavin::test
