// Case tables kept as data files: one row a line, fields separated by tabs;
// empty lines and lines starting with '#' are skipped.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace morlavin::test {

using Row = std::vector<std::string>;

// The rows of `name` under the test data folder.
inline std::vector<Row> readRows(const std::string& name) {
  std::ifstream in(std::string(MORLAVIN_TEST_DATA) + "/" + name);
  std::vector<Row> rows;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    Row row;
    std::istringstream fields(line);
    for (std::string field; std::getline(fields, field, '\t');) row.push_back(field);
    if (line.back() == '\t') row.emplace_back();  // an empty last field
    rows.push_back(row);
  }
  EXPECT_FALSE(rows.empty()) << "no rows in " << name;
  return rows;
}

}  // namespace morlavin::test
