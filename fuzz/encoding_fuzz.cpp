// The detector and the decoders on any bytes: the same answer and the same
// text whichever way the bytes come, and valid UTF-8 from every decoder and
// in every page of a decoded text.
#include <algorithm>
#include <cstdint>

#include "conversion/conversion_run.h"
#include "conversion/text_decoders.h"
#include "conversion/text_encoding.h"
#include "fuzz_support.h"
#include "platform/jis.h"
#include "settings/settings_record.h"
#include "test_support/core_fakes.h"

using namespace morlavin;
using conversion::Encoding;
using conversion::EncodingChoice;

namespace {

struct QuietView : conversion::ConversionView {
  void setStatusText(std::string_view) override {}
  void repaintStatus() override {}
  void setProgress(double) override {}
  double progress() const override { return 0; }
};

std::string utf16Text(std::string_view bytes, bool bigEndian, std::size_t piece,
                      conversion::Vectors vectors = conversion::Vectors::kAvx512) {
  conversion::Utf16Decoder decoder(bigEndian, true, vectors);
  std::string out(conversion::Utf16Decoder::maxOutput(bytes.size()) + 4, '\0');
  std::size_t n = 0;
  for (std::size_t at = 0; at < bytes.size(); at += piece) {
    const std::string_view part = bytes.substr(at, piece);
    n += decoder.decode(part.data(), part.size(), out.data() + n);
  }
  n += decoder.finish(out.data() + n);
  out.resize(n);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

  const Encoding whole = fuzz::plainEncoding(bytes);
  for (std::size_t piece = 2; piece <= std::min<std::size_t>(bytes.size(), 64); ++piece) {
    conversion::EncodingDetector detector;
    for (std::size_t at = 0; at < bytes.size(); at += piece) detector.feed(bytes.substr(at, piece));
    fuzz::check(detector.current() == whole, "the detector's answer depends on the pieces");
  }

  for (const bool bigEndian : {false, true}) {
    const std::string text = utf16Text(bytes, bigEndian, bytes.size() + 1);
    fuzz::check(fuzz::validUtf8(text), "UTF-16 decodes to valid UTF-8");
    fuzz::check(utf16Text(bytes, bigEndian, bytes.size() + 1, conversion::Vectors::kNone) == text,
                "UTF-16 decodes alike by vectors and unit by unit");
    for (std::size_t piece = 1; piece <= std::min<std::size_t>(bytes.size(), 16); ++piece) {
      fuzz::check(utf16Text(bytes, bigEndian, piece) == text, "UTF-16 decodes alike in pieces");
    }
  }
  conversion::Iso2022JpDecoder jis;
  std::string jisText;
  for (std::size_t at = 0; at <= bytes.size();) {
    const std::size_t end = std::min(bytes.find_first_of("\r\n", at), bytes.size());
    jis.decode(bytes.substr(at, end - at), jisText);
    at = end + 1;
  }
  fuzz::check(fuzz::validUtf8(jisText), "ISO-2022-JP decodes to valid UTF-8");
  fuzz::check(fuzz::validUtf8(platform::eucJpToUtf8(bytes)), "EUC-JP decodes to valid UTF-8");

  // A page of a decoded text is UTF-8 from its first byte to its last.
  const EncodingChoice choices[] = {EncodingChoice::kIso2022Jp, EncodingChoice::kUtf16Le,
                                    EncodingChoice::kUtf16Be, EncodingChoice::kAuto};
  const EncodingChoice choice = choices[data[0] % 4];
  if (!conversion::isDecoded(conversion::chosenEncoding(choice).value_or(whole))) return 0;
  const std::string input = fuzz::scratchDir() + "/decoded.txt";
  fuzz::writeBytes(input, bytes);
  QuietView view;
  test::FakeLauncher launcher;
  const auto result = conversion::convertFile({input, "題", false, choice},
                                              settings::defaultSettings(), view, launcher);
  fuzz::check(result.ok(), "a decoded text was refused");
  fuzz::check(fuzz::validUtf8(fuzz::readBytes(result->outputPath)),
              "a decoded text's page is valid UTF-8");
  return 0;
}
