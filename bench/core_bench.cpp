// The core passes on the largest file a run accepts.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <vector>

#include "conversion/conversion_run.h"
#include "conversion/line_splitter.h"
#include "conversion/page_format.h"
#include "conversion/text_encoding.h"
#include "sample_text.h"
#include "settings/settings_record.h"
#include "test_support/core_fakes.h"

namespace {

using namespace morlavin;

struct SilentView : conversion::ConversionView {
  void setStatusText(std::string_view) override {}
  void repaintStatus() override {}
  void setProgress(double) override {}
  double progress() const override { return 0; }
};

const std::string& sample(int bytesPerLine) {
  static std::string short80 = bench::makeSampleText(65535, 80);
  static std::string long800 = bench::makeSampleText(65535, 800);
  return bytesPerLine == 80 ? short80 : long800;
}

// A sample written to a temporary file for the benchmarks that read files.
class SampleFile {
 public:
  explicit SampleFile(const std::string& text) {
    char dir[] = "/tmp/morlavin-bench-XXXXXX";
    if (::mkdtemp(dir) != nullptr) m_dir = dir;
    std::ofstream(input(), std::ios::binary)
        .write(text.data(), static_cast<std::streamsize>(text.size()));
  }
  ~SampleFile() {
    ::unlink(input().c_str());
    ::unlink((m_dir + "/sample.htm").c_str());
    ::rmdir(m_dir.c_str());
  }
  std::string input() const { return m_dir + "/sample.txt"; }

 private:
  std::string m_dir;
};

void BM_SplitLines(benchmark::State& state) {
  const std::string& text = sample(static_cast<int>(state.range(0)));
  SampleFile file(text);
  for (auto _ : state) {
    platform::InputFile input;
    (void)input.open(file.input());
    conversion::LineSplitter lines(input);
    std::string_view line;
    std::size_t count = 0;
    while (lines.next(line).value_or(false)) ++count;
    benchmark::DoNotOptimize(count);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_SplitLines)->Arg(80)->Arg(800);

void BM_ConvertLines(benchmark::State& state) {
  const std::string& text = sample(static_cast<int>(state.range(0)));
  std::vector<std::string_view> lines;
  for (std::size_t begin = 0, cr; (cr = text.find('\r', begin)) != std::string::npos;
       begin = cr + 2) {
    lines.emplace_back(text.data() + begin, cr - begin);
  }
  const bool escape = state.range(1) != 0;
  std::string out;
  out.reserve(text.size() * 2);
  for (auto _ : state) {
    out.clear();
    conversion::LineConverter converter(escape);
    for (const std::string_view line : lines) converter.convert(line, out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ConvertLines)->Args({80, 0})->Args({80, 1})->Args({800, 0})->Args({800, 1});

// The UTF-8 check of the UTF-8 sample in the pieces a run reads, by vector
// width: 0 byte by byte, 1 SSSE3, 2 AVX2, 3 AVX-512 (a width the machine
// lacks runs as the widest it has).
void BM_DetectEncoding(benchmark::State& state) {
  static const std::string text = bench::makeSampleText(65535, 80, bench::SampleEncoding::kUtf8);
  const auto vectors = static_cast<conversion::Vectors>(state.range(0));
  for (auto _ : state) {
    conversion::EncodingDetector detector(vectors);
    for (std::size_t at = 0; at < text.size(); at += 1 << 16)
      detector.feed(std::string_view(text).substr(at, 1 << 16));
    benchmark::DoNotOptimize(detector.current());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_DetectEncoding)->DenseRange(0, 3);

// A whole run: read, count, convert, write the page through a temporary file.
void BM_ConvertFile(benchmark::State& state) {
  const std::string& text = sample(static_cast<int>(state.range(0)));
  SampleFile file(text);
  const settings::SettingsRecord settings = settings::defaultSettings();
  SilentView view;
  test::FakeLauncher launcher;
  for (auto _ : state) {
    auto result = conversion::convertFile({file.input(), "", false}, settings, view, launcher);
    benchmark::DoNotOptimize(result);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ConvertFile)->Arg(80)->Arg(800)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
