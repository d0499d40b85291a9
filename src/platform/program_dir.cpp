// The program's directory, read from the kernel's link to the running executable.
#include "platform/program_dir.h"

#include <unistd.h>

#include <climits>

#include "platform/paths.h"

namespace morlavin::platform {

std::string programDirectory() {
  std::string path(PATH_MAX, '\0');
  const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
  const std::string_view target(path.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
  return target.empty() ? "" : std::string(parentFolderOf(target));
}

std::string directoryPrefix(std::string_view directory) {
  return std::string(directory) + (!directory.empty() && directory.back() == '/' ? "" : "/");
}

}  // namespace morlavin::platform
