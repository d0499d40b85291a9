// Runs a fuzz target without libFuzzer, for the quick smoke run of the test
// suite: every seed file, then random variations of them for a few seconds.
//
//   TARGET [--seconds N] DIR...
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

int run(const std::string& input) {
  return LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
}

// Bytes that matter to the program's rules: line ends, tags, markers, Shift-JIS,
// UTF-8 and its byte-order mark.
const std::vector<std::string> kPieces = {"\r",
                                          "\n",
                                          "\r\n",
                                          "<",
                                          ">",
                                          "&",
                                          "\"",
                                          " ",
                                          "\t",
                                          "=",
                                          ".",
                                          "txt",
                                          ".TXT",
                                          "[Setting]",
                                          "Version=",
                                          "<BR>",
                                          "<H1>",
                                          "</H7>",
                                          "<FONT SIZE=+2>",
                                          "</FONT>",
                                          "<!--#BEGIN_MORLAVIN_INVALID_TAGS#-->",
                                          "<!--#END_MORLAVIN_NOBR#-->",
                                          "\x95\x5C",
                                          "\x81",
                                          "\xFF",
                                          std::string(1, '\0'),
                                          "1.62",
                                          "-0.5",
                                          "255",
                                          "\xEF\xBB\xBF",
                                          "日本",
                                          "\xE3\x81",
                                          "\xED\xA0\x80",
                                          "\xF4\x90\x80\x80",
                                          "</title"};

std::string mutate(std::string input, std::mt19937& random) {
  for (int edits = 1 + random() % 4; edits > 0; --edits) {
    const std::size_t at = input.empty() ? 0 : random() % (input.size() + 1);
    switch (random() % 3) {
      case 0:
        input.insert(at, kPieces[random() % kPieces.size()]);
        break;
      case 1:
        if (at < input.size()) input.erase(at, 1 + random() % 8);
        break;
      default:
        input.insert(at, 1, static_cast<char>(random() % 256));
        break;
    }
  }
  return input;
}

}  // namespace

int main(int argc, char** argv) {
  double seconds = 2;
  std::vector<std::string> seeds;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
      seconds = std::atof(argv[++i]);
      continue;
    }
    for (const auto& entry : std::filesystem::directory_iterator(argv[i])) {
      std::ifstream file(entry.path(), std::ios::binary);
      std::ostringstream bytes;
      bytes << file.rdbuf();
      seeds.push_back(bytes.str());
    }
  }
  if (seeds.empty()) seeds.emplace_back();
  for (const std::string& seed : seeds) run(seed);

  std::mt19937 random(12345);
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  long runs = 0;
  while (std::chrono::steady_clock::now() < end) {
    run(mutate(seeds[random() % seeds.size()], random));
    ++runs;
  }
  std::cout << argv[0] << ": " << seeds.size() << " seeds and " << runs << " variations passed\n";
  return 0;
}
