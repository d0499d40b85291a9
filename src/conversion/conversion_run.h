// The convert command: from a text file's path to a finished page beside it,
// reporting progress and failures through a ConversionView.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "conversion/text_encoding.h"
#include "platform/file_ops.h"
#include "platform/status.h"
#include "settings/settings_record.h"

namespace morlavin::platform {
class Launcher;
}

namespace morlavin::conversion {

// What a run shows the user. The main window maps it onto its status label,
// progress bar and message boxes; the batch converter onto a terminal line.
class ConversionView {
 public:
  virtual ~ConversionView() = default;
  // The status line's new text; it appears on screen at the next repaint.
  virtual void setStatusText(std::string_view text) = 0;
  // Repaints the status line now, although the run holds the thread.
  virtual void repaintStatus() = 0;
  // The progress bar's value, 0 to 100, fractional.
  virtual void setProgress(double percent) = 0;
  // Whether the bar is drawn whenever its value changes, as a progress bar
  // widget is; a view that draws it only at repaintStatus() is spared a
  // value for every line.
  virtual bool drawsEveryStep() const { return true; }
  // A modal error message titled "エラー" with the critical icon.
  virtual void showError(std::string_view message) = 0;
};

inline constexpr int kMaxLines = 65535;

struct ConversionRequest {
  std::string inputPath;  // taken as it stands: no trimming, no quotes removed
  std::string title;      // empty: the page gets the default title
  bool openPage = true;   // hand the finished page to the desktop
  EncodingChoice encoding = EncodingChoice::kAuto;
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

// Converts the file named by `request.inputPath` into a page beside it and
// returns the page written. A run that stops (too many lines: kBadInput; no
// ".txt" in the file name: kBadInput; a file that could not be read or
// written; a file that changed while it was read: kChanged) has told the user
// through `view`, with the failure's message, and created or changed no page.
// An empty path is kNotConfigured without a message: nothing was done and the
// view was not called. A page the desktop could not open is still a success,
// with the reason in `opened`, for the caller to tell. Tag escaping follows the markers for this run only;
// `settings` is not changed.
Result<ConversionResult> convertFile(const ConversionRequest& request,
                                     const settings::SettingsRecord& settings,
                                     ConversionView& view, platform::Launcher& launcher);

}  // namespace morlavin::conversion
