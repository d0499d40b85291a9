// Case tables kept as data in tests/data: one case a line, cells separated by
// '|' or a tab with the blanks around them dropped; lines starting with '#' and empty
// lines are skipped. In a cell \r \n \t \0 \\ \| and \xHH (exactly two hex
// digits) stand for their bytes, so any byte string can be written.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "test_support/temp_dir.h"

namespace morlavin::test {

inline std::string unescapeCell(const std::string& cell) {
  std::string out;
  for (std::size_t i = 0; i < cell.size(); ++i) {
    if (cell[i] != '\\' || i + 1 == cell.size()) {
      out += cell[i];
      continue;
    }
    const char c = cell[++i];
    if (c == 'x')
      out += static_cast<char>(std::stoi(cell.substr(i + 1, 2), nullptr, 16)), i += 2;
    else
      out += c == 'r' ? '\r' : c == 'n' ? '\n' : c == 't' ? '\t' : c == '0' ? '\0' : c;
  }
  return out;
}

// The rows of tests/data/`name`, each with exactly `cells` cells.
inline std::vector<std::vector<std::string>> caseTable(const std::string& name, std::size_t cells) {
  std::istringstream table(readFile(std::string(MORLAVIN_TEST_DATA) + "/" + name));
  std::vector<std::vector<std::string>> rows;
  for (std::string line; std::getline(table, line);) {
    if (line.empty() || line.front() == '#') continue;
    std::vector<std::string> row;
    std::string cell;
    for (std::size_t i = 0; i <= line.size(); ++i) {
      if (i == line.size() || line[i] == '|' || line[i] == '\t') {
        const auto first = cell.find_first_not_of(' '), last = cell.find_last_not_of(' ');
        row.push_back(
            unescapeCell(first == std::string::npos ? "" : cell.substr(first, last - first + 1)));
        cell.clear();
      } else {
        if (line[i] == '\\' && i + 1 < line.size()) cell += line[i++];
        cell += line[i];
      }
    }
    EXPECT_EQ(row.size(), cells) << name << ": " << line;
    if (row.size() == cells) rows.push_back(row);
  }
  EXPECT_FALSE(rows.empty()) << name;
  return rows;
}

}  // namespace morlavin::test
