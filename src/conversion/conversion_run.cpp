// The conversion run. The file is read once through a small buffer, and the
// page is streamed into a temporary file that replaces the target only when
// the run completes. Status texts are built only where the view repaints
// them, and the latest one is always in place before anything that lets the
// window repaint.
#include "conversion/conversion_run.h"

#include <algorithm>
#include <memory>

#include "conversion/line_splitter.h"
#include "conversion/output_name.h"
#include "conversion/page_format.h"
#include "conversion/text_decoders.h"
#include "conversion/text_encoding.h"
#include "conversion/title_import.h"
#include "platform/launcher.h"
#include "platform/texts.h"
#include "settings/flags.h"
#include "settings/setting_number.h"

namespace morlavin::conversion {
namespace {

namespace status_line = texts::status_line;
namespace conversion_errors = texts::conversion_errors;

// Counts down to the next repaint, so that a pass does not divide for every line.
class RepaintCountdown {
 public:
  // Due first after `first` steps, then after every `interval` steps.
  RepaintCountdown(long long interval, long long first) : m_interval(interval), m_left(first) {}
  bool due() {
    if (--m_left != 0) return false;
    m_left = m_interval;
    return true;
  }
  // The last step was due: its text is on screen already.
  bool justRepainted() const { return m_left == m_interval; }
  // Passes over up to `steps` steps that are not due; returns how many it passed.
  long long skipQuiet(long long steps) {
    steps = std::min(steps, m_left - 1);
    m_left -= steps;
    return steps;
  }

 private:
  long long m_interval;
  long long m_left;
};

using LineText = std::string (*)(int line, int total);

// The reading or the converting pass as the user sees it: the bar moves 50
// points on from `startPercent` over `total` lines, and the text for line
// number `first + i` is repainted whenever that number is a multiple of the
// interval. The last line's text is in place at the end either way. A view
// that draws the bar only with the status line gets its value there, not a
// value for every line.
void showLinePass(ConversionView& view, int total, int first, double startPercent, LineText text) {
  const int interval = lineRepaintInterval(total);
  RepaintCountdown repaint(interval, first == 0 ? 1 : interval);
  const bool everyStep = view.drawsEveryStep();
  for (int i = 0; i < total; ++i) {
    if (repaint.due()) {
      if (!everyStep) view.setProgress(startPercent + 50.0 * i / total);
      view.setStatusText(text(first + i, total));
      view.repaintStatus();
    }
    if (everyStep) {
      view.setProgress(startPercent + 50.0 * (i + 1) / total);
    } else {
      i += static_cast<int>(repaint.skipQuiet(total - 1 - i));  // nothing is drawn between repaints
    }
  }
  // A pass without lines stands as just repainted: it has no text to put in place.
  if (!repaint.justRepainted()) view.setStatusText(text(first + total - 1, total));
}

// The title a first line gives, read in the text's encoding.
std::string titleFromLine(std::string_view line, Encoding encoding) {
  return stripTitleTags(decodeLine(line, encoding));
}

// The page as the counting pass writes it. Shift-JIS, EUC-JP and UTF-8 lines
// go into it as they are, after the head for the encoding the file suggests so
// far; the encoding is known only at the end of the file, and in the rare file
// that turns out otherwise (ASCII far into the file, or UTF-8 up to a late
// invalid byte) finish() gives a second temporary page the right head and
// copies the body after it. ISO-2022-JP lines are decoded: from the line where
// a file starts to look like it (7-bit, with a JIS escape sequence), they also
// go decoded into a page of their own, and finish() keeps the page the whole
// file asks for. UTF-16 comes decoded from the line splitter.
class PageDraft {
 public:
  PageDraft(const ConversionRequest& request, const settings::SettingsRecord& settings)
      : m_request(request), m_settings(settings) {}

  // Starts the temporary page for `outputPath`; lines are written only once it has.
  Status open(const std::string& outputPath) {
    m_outputPath = outputPath;
    Status status = openPage(*m_page);
    m_writing = status.ok();
    return status;
  }
  bool writing() const { return m_writing; }
  // Sees every chunk of the file, for an encoding the user left to the file.
  void observe(std::string_view chunk) {
    m_detector.feed(chunk);
    m_decoding = m_jisPage || m_detector.mayBeIso2022Jp();
  }

  [[gnu::always_inline]] void addLine(std::string_view line) {
    if (!m_headEncoding) startBody(line);
    if (m_decoding) [[unlikely]] {
      addDecodedLine(line);
      return;
    }
    m_converter.convert(line, *m_page);
  }

  // Completes the page with the head the whole file asks for and puts it in place.
  Result<platform::FileIdentity> finish() {
    const Encoding wholeFile = encoding(true);
    if (m_request.encoding == EncodingChoice::kAuto && wholeFile == Encoding::kIso2022Jp) {
      if (!m_jisStatus.ok()) return m_jisStatus;
      if (!m_jisPage) startJisPage();  // a file without lines
      return complete(*m_jisPage);
    }
    if (!m_headEncoding) {
      writeHead(wholeFile);
    } else if (*m_headEncoding != wholeFile) {
      auto rewritten = std::make_unique<platform::AtomicFileWriter>(kExchange);
      if (Status status = openPage(*rewritten); !status.ok()) return status;
      rewritten->append(pageHead(m_settings, m_outputPath, title(wholeFile), wholeFile));
      rewritten->appendTail(*m_page, m_headSize);
      m_page = std::move(rewritten);  // the first temporary page goes
    }
    return complete(*m_page);
  }

 private:
  static constexpr auto kExchange = platform::AtomicFileWriter::Replace::kExchange;

  Encoding encoding(bool wholeFile) const {
    if (const std::optional<Encoding> chosen = chosenEncoding(m_request.encoding)) return *chosen;
    return wholeFile ? m_detector.current() : m_detector.likely();
  }
  // The encoding of the page of copied lines: a 7-bit file read as anything
  // but ISO-2022-JP is ASCII, which is Shift-JIS.
  Encoding copiedEncoding(bool wholeFile) const {
    const Encoding e = encoding(wholeFile);
    return e == Encoding::kIso2022Jp && m_request.encoding == EncodingChoice::kAuto
               ? Encoding::kShiftJis
               : e;
  }
  Status openPage(platform::AtomicFileWriter& page) const {
    if (m_request.outputStream >= 0) return page.openStream(m_request.outputStream);
    return page.open(m_outputPath, m_request.folders);
  }
  void startBody(std::string_view firstLine) {
    if (m_request.titleFromFirstLine) m_firstLine = firstLine;
    writeHead(copiedEncoding(false));
  }
  std::string title(Encoding encoding) const {
    return m_firstLine ? titleFromLine(*m_firstLine, encoding) : m_request.title;
  }
  void writeHead(Encoding encoding) {
    const std::string head = pageHead(m_settings, m_outputPath, title(encoding), encoding);
    m_page->append(head);
    m_headSize = head.size();
    m_headEncoding = encoding;
  }
  // A line of a text that is, or may be, ISO-2022-JP.
  void addDecodedLine(std::string_view line) {
    if (m_request.encoding == EncodingChoice::kIso2022Jp) {
      m_converter.convert(decoded(line), *m_page);
      return;
    }
    followJis(line);
    m_converter.convert(line, *m_page);
  }
  std::string_view decoded(std::string_view line) {
    m_decodedLine.clear();
    m_jisDecoder.decode(line, m_decodedLine);
    return m_decodedLine;
  }
  // Writes `line` decoded into the ISO-2022-JP page while the file may be
  // ISO-2022-JP, starting that page when it first looks like it. Every line
  // before was ASCII without an escape sequence, which reads the same either way.
  void followJis(std::string_view line) {
    if (!m_detector.mayBeIso2022Jp()) {
      m_jisPage.reset();  // a byte above 0x7F: not ISO-2022-JP after all
      m_decoding = false;
      return;
    }
    if (!m_jisPage && (!m_jisStatus.ok() || !startJisPage()))
      return;  // one try at a page of its own
    m_jisConverter.convert(decoded(line), *m_jisPage);
  }
  bool startJisPage() {
    m_jisPage = std::make_unique<platform::AtomicFileWriter>(kExchange);
    m_jisStatus = openPage(*m_jisPage);
    if (!m_jisStatus.ok()) {
      m_jisPage.reset();
      return false;
    }
    m_jisPage->append(
        pageHead(m_settings, m_outputPath, title(Encoding::kIso2022Jp), Encoding::kIso2022Jp));
    if (m_headEncoding) m_jisPage->appendTail(*m_page, m_headSize);
    m_jisConverter = m_converter;
    return true;
  }
  static Result<platform::FileIdentity> complete(platform::AtomicFileWriter& page) {
    page.append(kPageClosing);
    if (Status status = page.commit(); !status.ok()) return status;
    return page.written();
  }

  const ConversionRequest& m_request;
  const settings::SettingsRecord& m_settings;
  std::string m_outputPath;
  std::unique_ptr<platform::AtomicFileWriter> m_page =
      std::make_unique<platform::AtomicFileWriter>(kExchange);
  bool m_writing = false;
  EncodingDetector m_detector;
  LineConverter m_converter{settings::isOn(m_settings.TextIgnoreTags)};
  std::optional<Encoding> m_headEncoding;
  std::optional<std::string> m_firstLine;  // kept for the title only
  std::size_t m_headSize = 0;
  Iso2022JpDecoder m_jisDecoder;
  std::string m_decodedLine;
  std::unique_ptr<platform::AtomicFileWriter> m_jisPage;  // while the file may be ISO-2022-JP
  LineConverter m_jisConverter{false};
  Status m_jisStatus;
  // Lines are, or may be, ISO-2022-JP and take the slower way.
  bool m_decoding = m_request.encoding == EncodingChoice::kIso2022Jp;
};

// The counting pass. The file is read once: while it is counted, its lines
// already go into the draft, which only becomes the page if the run gets that
// far, so that a refusal or failure is reported at the moment the user
// expects it. A file past the limit is still counted to its end.
Result<int> countLines(platform::InputFile& input, const ConversionRequest& request,
                       PageDraft& draft, ConversionView& view) {
  // A stream's size is known only at its end: it is shown as a file of 1 MiB would be.
  const long long interval = countingRepaintInterval(input.isStream() ? 1 << 20 : input.size());
  RepaintCountdown repaint(interval, interval);
  long long count = 0;
  LineSplitter::ChunkObserver observer;
  if (request.encoding == EncodingChoice::kAuto) {
    observer = [&draft](std::string_view chunk) { draft.observe(chunk); };
  }
  LineSplitter lines(input, LineSplitter::kDefaultBufferSize, request.encoding,
                     std::move(observer));
  const Status read = lines.forEachLine([&](std::string_view line) __attribute__((always_inline)) {
    if (draft.writing() && count < kMaxLines) draft.addLine(line);
    ++count;
    if (repaint.due()) {
      view.setStatusText(status_line::counting(count));
      view.repaintStatus();
    }
  });
  if (!repaint.justRepainted()) view.setStatusText(status_line::counting(count));
  if (!read.ok()) return read;
  if (lines.bytesRead() != input.size()) {
    // Lines of two different files would make a page of neither.
    return Status::error(StatusCode::kChanged,
                         std::string(conversion_errors::kChangedWhileReading));
  }
  if (count > kMaxLines) {
    return Status::error(StatusCode::kBadInput, std::string(conversion_errors::kTooManyLines));
  }
  return static_cast<int>(count);
}

}  // namespace

long long countingRepaintInterval(std::uint64_t fileSize) {
  return static_cast<long long>(
      settings::roundHalfToEven(static_cast<double>(fileSize) / 80.0 / 9.0 + 1.0));
}

int lineRepaintInterval(int lineCount) {
  return static_cast<int>(settings::roundHalfToEven(lineCount / 51.0 + 1.0));
}

Result<ConversionResult> convertFile(const ConversionRequest& request,
                                     const settings::SettingsRecord& settings, ConversionView& view,
                                     platform::Launcher& launcher) {
  if (request.inputPath.empty()) return Status::silent(StatusCode::kNotConfigured);
  view.setStatusText(status_line::kCountingStarts);
  view.repaintStatus();
  platform::InputFile input;
  if (request.inputStream >= 0) {
    input.openStream(request.inputStream);
  } else if (Status status = input.open(request.inputPath, request.inputFolder); !status.ok()) {
    return status;
  }
  if (request.outputStream < 0 && !request.outputPath.empty() &&
      input.isNamed(request.outputPath)) {
    return Status::error(StatusCode::kBadInput,
                         texts::conversion_errors::pageWouldReplaceText(request.outputPath));
  }

  const auto outputPath =
      !request.outputPath.empty()
          ? std::optional(request.outputPath)
          : outputPathFor(request.inputPath, settings::isOn(settings.OutputExtHTML));
  PageDraft draft(request, settings);
  const Status pageStatus = outputPath ? draft.open(*outputPath) : Status();
  const Result<int> lines = countLines(input, request, draft, view);
  if (!lines.ok()) return lines.status();
  const int total = *lines;

  showLinePass(view, total, 0, 0, status_line::reading);
  view.setProgress(50);
  if (!outputPath) {
    return Status::error(StatusCode::kBadInput, std::string(conversion_errors::kNotConvertible));
  }
  view.setStatusText(status_line::beforeWriting(total, total));
  view.repaintStatus();
  if (!pageStatus.ok()) return pageStatus;

  showLinePass(view, total, 1, 50, status_line::converting);
  const Result<platform::FileIdentity> page = draft.finish();
  if (!page.ok()) return page.status();
  view.setProgress(100);

  Status opened;
  if (request.openPage && request.outputStream < 0) {
    if (const Status status = launcher.openDocument(*outputPath); !status.ok()) {
      opened = status.rephrased(texts::launching::pageNotOpened(*outputPath));
    }
  }
  view.setStatusText(status_line::pageWritten(page->size));
  view.setProgress(0);
  return ConversionResult{*outputPath, page->size, *page, opened};
}

void showRunFailed(ConversionView& view) {
  // The bar is at 0 between runs: one that has not moved is left alone.
  if (view.progress() != 0) view.setProgress(0);
  view.setStatusText(status_line::kFailed);
}

}  // namespace morlavin::conversion
