// A scratch folder per test, removed with everything in it afterwards.
#pragma once

#include <string>
#include <string_view>

namespace morlavin::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return m_path; }
  std::string file(std::string_view name) const { return m_path + "/" + std::string(name); }

 private:
  std::string m_path;
};

void writeFile(const std::string& path, std::string_view bytes);
// The file's bytes, or "<missing>" when it cannot be read.
std::string readFile(const std::string& path);
// The names in the folder, sorted and separated by blanks.
std::string fileNames(const std::string& folder);
std::string replaced(std::string text, std::string_view from, std::string_view to);

}  // namespace morlavin::test
