#include "conversion/output_name.h"

#include <gtest/gtest.h>

namespace morlavin::conversion {
namespace {

TEST(OutputName, ReplacesEveryTxtIgnoringCaseThenAppendsL) {
  const struct {
    const char* input;
    bool html;
    std::optional<std::string> output;
  } cases[] = {
      {"/doc/memo.txt", false, "/doc/memo.htm"},
      {"/doc/README.TXT", false, "/doc/README.htm"},
      {"/doc/README.TXT", true, "/doc/README.html"},
      {"notes.txt.bak", false, "notes.htm.bak"},
      {"notes.txt.bak", true, "notes.htm.bakl"},
      {"/a.txt.d/b.Txt", false, "/a.htm.d/b.htm"},
      {"memo.txtx", false, "memo.htmx"},
      {"..txt", false, "..htm"},
      {"/doc/memo.doc", false, std::nullopt},
      {"/doc/memo.htm", true, std::nullopt},
      {"/doc/memotxt", false, std::nullopt},
      {"/doc/memo.ｔｘｔ", false, std::nullopt},  // full-width letters are not ".txt"
      {" ", false, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(outputPathFor(c.input, c.html), c.output) << c.input << " html=" << c.html;
  }
}

}  // namespace
}  // namespace morlavin::conversion
