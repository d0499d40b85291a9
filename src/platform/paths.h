// Paths taken apart at their last "/", in one place: the name of the last
// component, and the folder that holds it. Bytes, not characters: "/" never
// occurs inside a Shift-JIS or UTF-8 character.
#pragma once

#include <string_view>

namespace morlavin::platform {

// The last component of `path`: all of it when it has no "/".
constexpr std::string_view fileNameOf(std::string_view path) {
  const auto slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// `path` up to and with its last "/": the folder that holds the last
// component, ready for a name; empty for a name without a folder.
constexpr std::string_view folderPrefixOf(std::string_view path) {
  return path.substr(0, path.size() - fileNameOf(path).size());
}

// The folder that holds the last component of the absolute `path`, without a
// trailing "/" unless it is the root.
constexpr std::string_view parentFolderOf(std::string_view path) {
  const std::string_view prefix = folderPrefixOf(path);
  return prefix.size() <= 1 ? "/" : prefix.substr(0, prefix.size() - 1);
}

}  // namespace morlavin::platform
