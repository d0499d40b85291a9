// The names in a folder, for walking a tree of text files.
#pragma once

#include <string>
#include <vector>

#include "platform/status.h"

namespace morlavin::platform {

struct FolderEntry {
  std::string name;
  bool isFolder = false;  // a folder itself; a link to one is not listed at all
};

// Whether `path` names a folder, or a link to one.
bool isFolder(const std::string& path);

// The entries of the folder at `path` but "." and "..", in the order of their
// names' bytes (the same in every locale). Links to folders are left out, so
// that a walk never leaves the tree nor runs in a circle; a link to anything
// else is listed, as no folder. Fails, with the reason, for a
// folder that cannot be opened or read.
Result<std::vector<FolderEntry>> listFolder(const std::string& path);

}  // namespace morlavin::platform
