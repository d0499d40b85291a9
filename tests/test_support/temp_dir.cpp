// Scratch folders and whole-file helpers for tests.
#include "test_support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

namespace morlavin::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "morlavin-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  m_path = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  // Tests make files read-only; give the owner back the right to remove them.
  for (const auto& entry : std::filesystem::recursive_directory_iterator(m_path, ignored)) {
    std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
  }
  std::filesystem::remove_all(m_path, ignored);
}

void writeFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  std::ostringstream contents;
  contents << in.rdbuf();
  return contents.str();
}

std::string fileNames(const std::string& folder) {
  std::set<std::string> sorted;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    sorted.insert(entry.path().filename());
  std::string text;
  for (const std::string& name : sorted) text += (text.empty() ? "" : " ") + name;
  return text;
}

std::string replaced(std::string text, std::string_view from, std::string_view to) {
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
  return text;
}

}  // namespace morlavin::test
