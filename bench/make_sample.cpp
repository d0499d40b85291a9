// Writes a benchmark sample: make_sample LINES BYTES_PER_LINE OUTPUT [ENCODING],
// where ENCODING is shift-jis (the default), utf-8, euc-jp or utf-16le.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "sample_text.h"

int main(int argc, char** argv) {
  const std::string encoding = argc == 5 ? argv[4] : "shift-jis";
  if ((argc != 4 && argc != 5) || (encoding != "shift-jis" && encoding != "utf-8" &&
                                   encoding != "euc-jp" && encoding != "utf-16le")) {
    std::fprintf(
        stderr,
        "usage: make_sample LINES BYTES_PER_LINE OUTPUT [shift-jis|utf-8|euc-jp|utf-16le]\n");
    return 2;
  }
  using morlavin::bench::SampleEncoding;
  const SampleEncoding sample = encoding == "utf-8"      ? SampleEncoding::kUtf8
                                : encoding == "euc-jp"   ? SampleEncoding::kEucJp
                                : encoding == "utf-16le" ? SampleEncoding::kUtf16Le
                                                         : SampleEncoding::kShiftJis;
  const std::string text =
      morlavin::bench::makeSampleText(std::atoi(argv[1]), std::atoi(argv[2]), sample);
  std::ofstream(argv[3], std::ios::binary)
      .write(text.data(), static_cast<std::streamsize>(text.size()));
  return 0;
}
