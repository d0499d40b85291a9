// The conversion run. The file is read once through a small buffer, and the
// page is streamed into a temporary file that replaces the target only when
// the run completes. Status texts are built only where the view repaints
// them, and the latest one is always in place before anything that lets the
// window repaint.
#include "conversion/conversion_run.h"

#include <algorithm>
#include <memory>
#include <new>

#include "conversion/line_splitter.h"
#include "conversion/output_name.h"
#include "conversion/page_format.h"
#include "platform/launcher.h"
#include "platform/texts.h"
#include "settings/flags.h"
#include "settings/setting_number.h"

namespace morlavin::conversion {
namespace {

namespace status_line = texts::status_line;
namespace conversion_errors = texts::conversion_errors;

// Tells the user of a failure and hands it on. A failure after the bar has
// moved puts it back to 0, as a refusal does.
Status fail(ConversionView& view, Status status, bool barMoved = false) {
  view.showError(status.message());
  if (barMoved) view.setProgress(0);
  view.setStatusText(status_line::kFailed);
  return status;
}

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
  if (total > 0 && !repaint.justRepainted()) view.setStatusText(text(first + total - 1, total));
}

// The page as the counting pass writes it: the head for the encoding the
// file suggests so far, then the body lines. The encoding is known only at
// the end of the file; in the rare file that turns out otherwise (ASCII far
// into the file, or UTF-8 up to a late invalid byte) finish() gives a second
// temporary page the right head and copies the body after it.
class PageDraft {
 public:
  PageDraft(const ConversionRequest& request, const settings::SettingsRecord& settings)
      : m_request(request), m_settings(settings) {}

  // Starts the temporary page for `outputPath`; lines are written only once it has.
  Status open(const std::string& outputPath) {
    m_outputPath = outputPath;
    Status status = m_page->open(outputPath);
    m_writing = status.isOk();
    return status;
  }
  bool writing() const { return m_writing; }
  // Sees every chunk of the file, for an encoding the user left to the file.
  void observe(std::string_view chunk) { m_detector.feed(chunk); }

  [[gnu::always_inline]] void addLine(std::string_view line) {
    if (!m_headEncoding) writeHead(encoding(false));
    m_converter.convert(line, *m_page);
  }

  // Completes the page with the head the whole file asks for and puts it in place.
  Result<platform::FileIdentity> finish() {
    const Encoding wholeFile = encoding(true);
    if (!m_headEncoding) {
      writeHead(wholeFile);
    } else if (*m_headEncoding != wholeFile) {
      auto rewritten = std::make_unique<platform::AtomicFileWriter>(kExchange);
      if (Status status = rewritten->open(m_outputPath); !status) return status;
      rewritten->append(pageHead(m_settings, m_outputPath, m_request.title, wholeFile));
      rewritten->appendTail(*m_page, m_headSize);
      m_page = std::move(rewritten);  // the first temporary page goes
    }
    m_page->append(kPageClosing);
    if (Status status = m_page->commit(); !status) return status;
    return m_page->written();
  }

 private:
  static constexpr auto kExchange = platform::AtomicFileWriter::Replace::kExchange;

  Encoding encoding(bool wholeFile) const {
    switch (m_request.encoding) {
      case EncodingChoice::kShiftJis: return Encoding::kShiftJis;
      case EncodingChoice::kUtf8: return Encoding::kUtf8;
      case EncodingChoice::kAuto: break;
    }
    return wholeFile ? m_detector.current() : m_detector.likely();
  }
  void writeHead(Encoding encoding) {
    const std::string head = pageHead(m_settings, m_outputPath, m_request.title, encoding);
    m_page->append(head);
    m_headSize = head.size();
    m_headEncoding = encoding;
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
  std::size_t m_headSize = 0;
};

// The counting pass. The file is read once: while it is counted, its lines
// already go into the draft, which only becomes the page if the run gets that
// far, so that a refusal or failure is reported at the moment the user
// expects it. A file past the limit is still counted to its end.
Result<int> countLines(platform::InputFile& input, const ConversionRequest& request, PageDraft& draft,
                       ConversionView& view) {
  const long long interval = countingRepaintInterval(input.size());
  RepaintCountdown repaint(interval, interval);
  long long count = 0;
  LineSplitter::ChunkObserver observer;
  if (request.encoding == EncodingChoice::kAuto) {
    observer = [&draft](std::string_view chunk) { draft.observe(chunk); };
  }
  // The mark says "UTF-8" and is no text of the page.
  LineSplitter lines(input, LineSplitter::kDefaultBufferSize, std::move(observer),
                     request.encoding != EncodingChoice::kShiftJis);
  try {
    lines.forEachLine([&](std::string_view line) __attribute__((always_inline)) {
      if (draft.writing() && count < kMaxLines) draft.addLine(line);
      ++count;
      if (repaint.due()) {
        view.setStatusText(status_line::counting(count));
        view.repaintStatus();
      }
    });
  } catch (const std::bad_alloc&) {
    // A line is held whole while it is converted; one larger than memory is
    // refused like any other file that cannot be read.
    return fail(view, Status::fromErrno(std::string(texts::files::kCannotRead), ENOMEM));
  }
  if (!repaint.justRepainted()) view.setStatusText(status_line::counting(count));
  if (!input.error()) return fail(view, input.error());
  if (lines.bytesRead() != input.size()) {
    // Lines of two different files would make a page of neither.
    return fail(view, Status::error(StatusCode::kChanged,
                                    std::string(conversion_errors::kChangedWhileReading)));
  }
  if (count > kMaxLines) {
    return fail(view, Status::error(StatusCode::kBadInput, std::string(conversion_errors::kTooManyLines)));
  }
  return static_cast<int>(count);
}

}  // namespace

long long countingRepaintInterval(std::uint64_t fileSize) {
  return static_cast<long long>(settings::roundHalfToEven(static_cast<double>(fileSize) / 80.0 / 9.0 + 1.0));
}

int lineRepaintInterval(int lineCount) {
  return static_cast<int>(settings::roundHalfToEven(lineCount / 51.0 + 1.0));
}

Result<ConversionResult> convertFile(const ConversionRequest& request,
                                     const settings::SettingsRecord& settings, ConversionView& view,
                                     platform::Launcher& launcher) {
  if (request.inputPath.empty()) return Status::error(StatusCode::kNotConfigured, "");
  view.setStatusText(status_line::kCountingStarts);
  view.repaintStatus();
  platform::InputFile input;
  if (Status status = input.open(request.inputPath); !status) return fail(view, status);

  const auto outputPath = outputPathFor(request.inputPath, settings::isOn(settings.OutputExtHTML));
  PageDraft draft(request, settings);
  const Status pageStatus = outputPath ? draft.open(*outputPath) : Status::ok();
  const Result<int> lines = countLines(input, request, draft, view);
  if (!lines) return lines.status();
  const int total = *lines;

  showLinePass(view, total, 0, 0, status_line::reading);
  view.setProgress(50);
  if (!outputPath) {
    return fail(view, Status::error(StatusCode::kBadInput, std::string(conversion_errors::kNotConvertible)),
                true);
  }
  view.setStatusText(status_line::beforeWriting(total, total));
  view.repaintStatus();
  if (!pageStatus) return fail(view, pageStatus, true);

  showLinePass(view, total, 1, 50, status_line::converting);
  const Result<platform::FileIdentity> page = draft.finish();
  if (!page) return fail(view, page.status(), true);
  view.setProgress(100);

  Status opened;
  if (request.openPage) {
    if (const Status status = launcher.openDocument(*outputPath); !status) {
      opened = status.rephrased(texts::launching::pageNotOpened(*outputPath));
    }
  }
  view.setStatusText(status_line::pageWritten(page->size));
  view.setProgress(0);
  return ConversionResult{*outputPath, page->size, *page, opened};
}

}  // namespace morlavin::conversion
