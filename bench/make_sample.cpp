// Writes a benchmark sample: make_sample LINES BYTES_PER_LINE OUTPUT [utf-8]
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "sample_text.h"

int main(int argc, char** argv) {
  if (argc != 4 && !(argc == 5 && std::string(argv[4]) == "utf-8")) {
    std::fprintf(stderr, "usage: make_sample LINES BYTES_PER_LINE OUTPUT [utf-8]\n");
    return 2;
  }
  const std::string text = morlavin::bench::makeSampleText(std::atoi(argv[1]), std::atoi(argv[2]), argc == 5);
  std::ofstream(argv[3], std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
  return 0;
}
