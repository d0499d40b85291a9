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
  double progress() const override { return 0; }
};

// The conversion rule as plainly as it can be said.
std::string referenceBody(std::string_view text, bool escape) {
  std::string body;
  std::string lineEnd = "<BR>";
  for (const std::string& line : test::referenceLines(text)) {
    if (line == "<!--#BEGIN_MORLAVIN_INVALID_TAGS#-->") {
      escape = true;
      continue;
    }
    if (line == "<!--#END_MORLAVIN_INVALID_TAGS#-->") {
      escape = false;
      continue;
    }
    if (line == "<!--#BEGIN_MORLAVIN_NOBR#-->") {
      lineEnd.clear();
      continue;
    }
    if (line == "<!--#END_MORLAVIN_NOBR#-->") {
      lineEnd = "<BR>";
      continue;
    }
    for (const char c : line)
      body += escape && c == '<' ? "&lt;" : escape && c == '>' ? "&gt;" : std::string(1, c);
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
  using conversion::Encoding;
  using conversion::EncodingChoice;
  const Encoding plain = fuzz::plainEncoding(text);
  // The detector, by vectors of each width, fed in pieces of every size, answers as byte by byte.
  using conversion::Vectors;
  for (Vectors vectors : {Vectors::kAvx512, Vectors::kAvx2, Vectors::kSsse3, Vectors::kNone}) {
    conversion::EncodingDetector detector(vectors);
    const std::size_t piece = 1 + data[0] % 37;
    for (std::size_t at = 0; at < text.size(); at += piece) detector.feed(text.substr(at, piece));
    fuzz::check(detector.current() == plain, "the same answer whichever way the bytes come");
  }
  const conversion::TextStart start =
      conversion::sniffTextStart(text.substr(0, conversion::kSniffWindow));
  if (start == conversion::TextStart::kPlain &&
      (plain == Encoding::kUtf8) != fuzz::isUtf8Text(text)) {
    fuzz::fail("UTF-8 rule");
  }

  // The encodings whose lines are copied; the decoded ones have their own target.
  const EncodingChoice choices[] = {EncodingChoice::kAuto, EncodingChoice::kShiftJis,
                                    EncodingChoice::kEucJp, EncodingChoice::kUtf8};
  const EncodingChoice choice = choices[(data[0] >> 1) % 4];
  const Encoding encoding = conversion::chosenEncoding(choice).value_or(plain);
  const auto result = conversion::convertFile({input, "", false, choice}, settings, view, launcher);
  fuzz::check(result.ok(), "a convertible file was refused");
  const std::string page = fuzz::readBytes(result->outputPath);
  fuzz::check(page.size() == result->size, "reported size");
  if (conversion::isDecoded(encoding)) return 0;

  const std::string head = conversion::pageHead(settings, result->outputPath, "", encoding);
  fuzz::check(page.compare(0, head.size(), head) == 0, "page head");
  fuzz::check(page.ends_with(conversion::kPageClosing), "closing lines");
  const std::string body =
      page.substr(head.size(), page.size() - head.size() - conversion::kPageClosing.size());
  const std::string lines = choice == EncodingChoice::kAuto   ? fuzz::textOf(text, encoding)
                            : choice == EncodingChoice::kUtf8 ? fuzz::textOf(text, Encoding::kUtf8)
                                                              : std::string(text);
  fuzz::check(body == referenceBody(lines, settings::isOn(settings.TextIgnoreTags)),
              "body differs from the line rule");
  fuzz::check(settings.TextIgnoreTags == (data[0] & 1), "settings unchanged");
  return 0;
}
