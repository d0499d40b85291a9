// A whole conversion of any bytes: the page is in the encoding the plain rule
// gives, its body equals the line rule written out plainly, markers never
// reach the page, and the frame is intact.
#include <cstdint>
#include <vector>

#include "conversion/conversion_run.h"
#include "conversion/page_format.h"
#include "fuzz_support.h"
#include "settings/flags.h"
#include "settings/settings_record.h"
#include "test_support/core_fakes.h"
#include "test_support/line_rule.h"

using namespace morlavin;

namespace {

struct QuietView : conversion::ConversionView {
  void setStatusText(std::string_view) override {}
  void repaintStatus() override {}
  void setProgress(double percent) override {
    if (!(percent >= 0 && percent <= 100)) fuzz::fail("progress outside 0 to 100");
  }
  void showError(std::string_view) override { ++errors; }
  int errors = 0;
};

// The conversion rule as plainly as it can be said.
std::string referenceBody(std::string_view text, bool escape) {
  std::string body;
  std::string lineEnd = "<BR>";
  for (const std::string& line : test::referenceLines(text)) {
    if (line == "<!--#BEGIN_MORLAVIN_INVALID_TAGS#-->") { escape = true; continue; }
    if (line == "<!--#END_MORLAVIN_INVALID_TAGS#-->") { escape = false; continue; }
    if (line == "<!--#BEGIN_MORLAVIN_NOBR#-->") { lineEnd.clear(); continue; }
    if (line == "<!--#END_MORLAVIN_NOBR#-->") { lineEnd = "<BR>"; continue; }
    for (const char c : line) body += escape && c == '<' ? "&lt;" : escape && c == '>' ? "&gt;" : std::string(1, c);
    body += lineEnd + "\r\n";
  }
  return body;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  settings::SettingsRecord settings = settings::defaultSettings();
  settings.TextIgnoreTags = data[0] & 1;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::string input = fuzz::scratchDir() + "/page.txt";
  fuzz::writeBytes(input, text);

  QuietView view;
  test::FakeLauncher launcher;
  // The detector, by vectors of each width and byte by byte, fed in pieces of every size.
  using conversion::Vectors;
  for (Vectors vectors : {Vectors::kAvx512, Vectors::kAvx2, Vectors::kSsse3, Vectors::kNone}) {
    conversion::EncodingDetector detector(vectors);
    const std::size_t piece = 1 + data[0] % 37;
    for (std::size_t at = 0; at < text.size(); at += piece) detector.feed(text.substr(at, piece));
    fuzz::check((detector.current() == conversion::Encoding::kUtf8) == fuzz::isUtf8Text(text), "encoding rule");
  }

  const auto choice = static_cast<conversion::EncodingChoice>((data[0] >> 1) % 3);
  const auto result = conversion::convertFile({input, "", false, choice}, settings, view, launcher);
  fuzz::check(result.isOk() && view.errors == 0, "a convertible file was refused");
  const std::string page = fuzz::readBytes(result->outputPath);
  fuzz::check(page.size() == result->size, "reported size");

  const bool utf8 = choice == conversion::EncodingChoice::kAuto ? fuzz::isUtf8Text(text)
                                                              : choice == conversion::EncodingChoice::kUtf8;
  const std::string head = conversion::pageHead(settings, result->outputPath, "",
                                                utf8 ? conversion::Encoding::kUtf8 : conversion::Encoding::kShiftJis);
  fuzz::check(page.compare(0, head.size(), head) == 0, "page head");
  fuzz::check(page.ends_with(conversion::kPageClosing), "closing lines");
  const std::string body = page.substr(head.size(), page.size() - head.size() - conversion::kPageClosing.size());
  const bool mark = choice != conversion::EncodingChoice::kShiftJis && text.starts_with("\xEF\xBB\xBF");
  fuzz::check(body == referenceBody(text.substr(mark ? 3 : 0), settings::isOn(settings.TextIgnoreTags)),
              "body differs from the line rule");
  fuzz::check(settings.TextIgnoreTags == (data[0] & 1), "settings unchanged");
  return 0;
}
