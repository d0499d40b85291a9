// The conversion run. The file is read once through a small buffer, and the
// page is streamed into a temporary file that replaces the target only when
// the run completes. Status texts are
// built only where the view repaints them, and the latest one is always in
// place before anything that lets the window repaint.
#include "conversion/conversion_run.h"

#include <memory>
#include <new>

#include "conversion/line_splitter.h"
#include "conversion/output_name.h"
#include "conversion/page_format.h"
#include "platform/file_ops.h"
#include "platform/launcher.h"
#include "settings/setting_number.h"

namespace morlavin::conversion {
namespace {

std::string countingText(long long count) {
  return "行数をチェックしています....  " + std::to_string(count) + "行";
}

std::string readingText(int index, int total) {
  return "テキストを読み込んでいます....  (" + std::to_string(index) + "行/" +
         std::to_string(total) + "行)";
}

std::string beforeWritingText(int stored, int total) {
  return "テキストを変換しています....(" + std::to_string(stored) + "行/" +
         std::to_string(total) + "行)";
}

std::string convertingText(int done, int total) {
  return "テキストを変換しています.... (" + std::to_string(done) + "行/" + std::to_string(total) +
         "行)";
}

// A failure after the bar has moved puts it back to 0, as a refusal does.
void fail(ConversionView& view, std::string_view message, bool barMoved = false) {
  view.showError(message);
  if (barMoved) view.setProgress(0);
  view.setStatusText(kFailedStatus);
}

}  // namespace

std::string pageWrittenText(std::uint64_t size) {
  return "テキストを変換しました。(変換後のサイズ:" + std::to_string(size) + "bytes)";
}

long long countingRepaintInterval(std::uint64_t fileSize) {
  return static_cast<long long>(settings::roundHalfToEven(static_cast<double>(fileSize) / 80.0 / 9.0 + 1.0));
}

int lineRepaintInterval(int lineCount) {
  return static_cast<int>(settings::roundHalfToEven(lineCount / 51.0 + 1.0));
}

std::optional<ConversionResult> convertFile(const ConversionRequest& request,
                                            const settings::SettingsRecord& settings,
                                            ConversionView& view, platform::Launcher& launcher) {
  if (request.inputPath.empty()) return std::nullopt;
  view.setStatusText("行数をチェックしています....0行");
  view.repaintStatus();

  platform::InputFile input;
  if (const Status status = input.open(request.inputPath); !status) {
    fail(view, status.message());
    return std::nullopt;
  }

  // The file is read once. While it is counted, its lines already go into a
  // temporary page, which only becomes the page if the run gets that far; a
  // refusal or failure is reported at the moment the user expects it.
  const auto outputPath = outputPathFor(request.inputPath, settings.OutputExtHTML == 1);
  constexpr auto kExchange = platform::AtomicFileWriter::Replace::kExchange;
  auto page = std::make_unique<platform::AtomicFileWriter>(kExchange);
  Status pageStatus = Status::ok();
  if (outputPath) pageStatus = page->open(*outputPath);
  const bool writing = outputPath && pageStatus;

  // The encoding is known only at the end of the file. The head is written
  // for what the first chunk suggests, and in the rare file that turns out
  // otherwise (ASCII far into the file, or UTF-8 up to a late invalid byte) a
  // second temporary page gets the right head and the body copied after it.
  EncodingDetector detector;
  LineSplitter::ChunkObserver observer;
  if (request.encoding == EncodingChoice::kAuto) {
    observer = [&detector](std::string_view chunk) { detector.feed(chunk); };
  }
  const auto encodingOf = [&](bool wholeFile) {
    switch (request.encoding) {
      case EncodingChoice::kShiftJis: return Encoding::kShiftJis;
      case EncodingChoice::kUtf8: return Encoding::kUtf8;
      case EncodingChoice::kAuto: break;
    }
    return wholeFile ? detector.current() : detector.likely();
  };
  std::optional<Encoding> headEncoding;
  std::size_t headSize = 0;
  const auto writeHead = [&](Encoding encoding) {
    const std::string head = pageHead(settings, *outputPath, request.title, encoding);
    page->append(head);
    headSize = head.size();
    headEncoding = encoding;
  };

  // Counting pass. A file past the limit is still counted to its end.
  const long long k1 = countingRepaintInterval(input.size());
  long long count = 0;
  long long untilRepaint = k1;  // counts down instead of dividing for every line
  LineConverter converter(settings.TextIgnoreTags == 1);
  // The mark says "UTF-8" and is no text of the page.
  LineSplitter lines(input, LineSplitter::kDefaultBufferSize, std::move(observer),
                     request.encoding != EncodingChoice::kShiftJis);
  std::string_view line;
  try {
    while (lines.next(line)) {
      if (writing && count < kMaxLines) {
        if (!headEncoding) writeHead(encodingOf(false));
        converter.convert(line, *page);
      }
      ++count;
      if (--untilRepaint == 0) {
        untilRepaint = k1;
        view.setStatusText(countingText(count));
        view.repaintStatus();
      }
    }
  } catch (const std::bad_alloc&) {
    // A line is held whole while it is converted; one larger than memory is
    // refused like any other file that cannot be read.
    fail(view, "ファイルを読み込めません (メモリが足りません)");
    return std::nullopt;
  }
  if (untilRepaint != k1) view.setStatusText(countingText(count));
  if (!input.error()) {
    fail(view, input.error().message());
    return std::nullopt;
  }
  if (lines.bytesRead() != input.size()) {
    // Lines of two different files would make a page of neither.
    fail(view, kChangedWhileReadingMessage);
    return std::nullopt;
  }
  if (count > kMaxLines) {
    fail(view, kTooManyLinesMessage);
    return std::nullopt;
  }

  // Reading pass, as the user sees it.
  const int total = static_cast<int>(count);
  const int k2 = lineRepaintInterval(total);
  untilRepaint = 1;
  for (int i = 0; i < total; ++i) {
    if (--untilRepaint == 0) {
      untilRepaint = k2;
      view.setStatusText(readingText(i, total));
      view.repaintStatus();
    }
    view.setProgress(50.0 * (i + 1) / total);
  }
  if (total > 0 && (total - 1) % k2 != 0) view.setStatusText(readingText(total - 1, total));
  view.setProgress(50);

  if (!outputPath) {
    fail(view, kNotConvertibleMessage, true);
    return std::nullopt;
  }

  view.setStatusText(beforeWritingText(total, total));
  view.repaintStatus();
  if (!pageStatus) {
    fail(view, pageStatus.message(), true);
    return std::nullopt;
  }

  // Conversion pass, as the user sees it.
  untilRepaint = k2;
  for (int done = 1; done <= total; ++done) {
    if (--untilRepaint == 0) {
      untilRepaint = k2;
      view.setStatusText(convertingText(done, total));
      view.repaintStatus();
    }
    view.setProgress(50 + 50.0 * done / total);
  }
  if (total > 0 && total % k2 != 0) view.setStatusText(convertingText(total, total));

  const Encoding encoding = encodingOf(true);
  if (!headEncoding) {
    writeHead(encoding);
  } else if (*headEncoding != encoding) {
    auto rewritten = std::make_unique<platform::AtomicFileWriter>(kExchange);
    pageStatus = rewritten->open(*outputPath);
    if (!pageStatus) {
      fail(view, pageStatus.message(), true);
      return std::nullopt;
    }
    rewritten->append(pageHead(settings, *outputPath, request.title, encoding));
    rewritten->appendTail(*page, headSize);
    page = std::move(rewritten);  // the first temporary page goes
  }
  page->append(kPageClosing);
  if (const Status status = page->commit(); !status) {
    fail(view, status.message(), true);
    return std::nullopt;
  }
  view.setProgress(100);

  if (request.openPage) {
    // As with any document the user opens, a missing browser is the desktop's
    // business; the page itself is written and stays.
    (void)launcher.openDocument(*outputPath);
  }
  const ConversionResult result{*outputPath, page->written().size, page->written()};
  view.setStatusText(pageWrittenText(result.size));
  view.setProgress(0);
  return result;
}

}  // namespace morlavin::conversion
