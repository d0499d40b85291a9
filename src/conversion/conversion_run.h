// The convert command: from a text file's path to a finished page beside it,
// reporting progress and failures through a ConversionView.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "conversion/encoding.h"
#include "platform/file_ops.h"
#include "platform/status.h"
#include "settings/settings_record.h"

namespace morlavin::platform {
class Launcher;
}

namespace morlavin::conversion {

// What a run shows the user while it goes. The main window maps it onto its
// status label and progress bar; the batch converter onto a terminal line.
// Why a run failed is in its result, for the caller to show.
class ConversionView {
 public:
  virtual ~ConversionView() = default;
  // The status line's new text; it appears on screen at the next repaint.
  virtual void setStatusText(std::string_view text) = 0;
  // Repaints the status line now, although the run holds the thread.
  virtual void repaintStatus() = 0;
  // The progress bar's value, 0 to 100, fractional.
  virtual void setProgress(double percent) = 0;
  virtual double progress() const = 0;
  // Whether the bar is drawn whenever its value changes, as a progress bar
  // widget is; a view that draws it only at repaintStatus() is spared a
  // value for every line.
  virtual bool drawsEveryStep() const { return true; }
};

inline constexpr int kMaxLines = 65535;

struct ConversionRequest {
  std::string inputPath;  // taken as it stands: no trimming, no quotes removed
  std::string title;      // empty: the page gets the default title
  bool openPage = true;   // hand the finished page to the desktop
  EncodingChoice encoding = EncodingChoice::kAuto;
  // Where a batch of runs keeps the folders it writes into; none: each run
  // opens and tidies its page's folder itself.
  platform::FolderCache* folders = nullptr;
  // The page's path, taken as it stands; empty: beside the input, named by
  // the ".txt" rule (outputPathFor). With a stream it only names the page.
  std::string outputPath{};
  // A descriptor (standard output) that receives the whole page once it is
  // complete, instead of a file; -1 for none. Such a page is never opened.
  int outputStream = -1;
  // A descriptor (standard input) to read the text from, once, instead of
  // the file at inputPath, which then only names it; -1 for none.
  int inputStream = -1;
  // The folder, open, that holds the file inputPath names: the file is
  // opened there by its name, never through a link; -1: by its path.
  int inputFolder = -1;
  // The title is the text's first line, decoded as the whole text is, with
  // its heading, font-size and line-break tags taken out (see
  // stripTitleTags); `title` is used only for a text without lines. A stream
  // can be read only once: this takes the line as the run reads it.
  bool titleFromFirstLine = false;
};

struct ConversionResult {
  std::string outputPath;
  std::uint64_t size = 0;
  platform::FileIdentity page;  // the file written, to delete only that one
  // Why the desktop could not open the page when asked to; the page is written
  // and stays all the same.
  Status opened;
};

// How many lines pass between two repaints of the status line, rounded half
// to even: for the counting pass from the file's size (about nine repaints
// for a file of 80-byte lines, whatever its length), for the reading and
// converting passes from the number of lines (about fifty each).
long long countingRepaintInterval(std::uint64_t fileSize);
int lineRepaintInterval(int lineCount);

// Converts the file named by `request.inputPath` (or the stream it names)
// into a page beside it (or where the request says) and returns the page
// written. A run that stops (too many lines: kBadInput; no ".txt" in the file
// name: kBadInput; a page that would take the text's own name: kBadInput; a
// file that could not be read or written; a file that changed while it was
// read: kChanged) has created or changed no page and written nothing to a
// stream; the caller shows the failure's message, then showRunFailed().
// An empty path is a silent kNotConfigured: nothing was done and the view was
// not called. Memory running out throws std::bad_alloc, once any temporary
// page is gone. A page the desktop could not open is still a success,
// with the reason in `opened`, for the caller to tell. Tag escaping follows the markers for this
// run only; `settings` is not changed.
Result<ConversionResult> convertFile(const ConversionRequest& request,
                                     const settings::SettingsRecord& settings, ConversionView& view,
                                     platform::Launcher& launcher);

// What a failed run leaves on screen once its message has been seen: the bar
// back at 0 where it had moved, and the status line saying the run failed.
void showRunFailed(ConversionView& view);

}  // namespace morlavin::conversion
