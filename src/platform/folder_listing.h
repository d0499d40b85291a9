// Folders opened and listed for a walk over a tree of text files that others
// may change meanwhile: each folder is opened from its parent, never through a
// link, and its files are opened from it (see InputFile::open).
#pragma once

#include <string>
#include <vector>

#include "platform/status.h"

namespace morlavin::platform {

struct FolderEntry {
  std::string name;
  bool isFolder = false;  // else a regular file
};

// Whether `path` names a folder, or a link to one.
bool isFolder(const std::string& path);

// Opens the folder at `path` for listing; a link there is followed (the user
// named it). The caller closes the descriptor. Fails with the reason.
Result<int> openFolder(const std::string& path);
// Opens the folder `name` within the folder open as `parent`; a link at that
// name is refused, not followed.
Result<int> openSubfolder(int parent, const std::string& name);

// The regular files and folders in the folder open as `folder`, in the order of their names' bytes,
// the same in every locale. Links are left out, so that a walk never leaves its tree nor runs in a
// circle, and so are pipes, devices and sockets, which hold no text.
Result<std::vector<FolderEntry>> listFolder(int folder);

}  // namespace morlavin::platform
