// The convert command: from a text file's path to a finished page beside it,
// reporting progress and failures through a ConversionView.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "conversion/text_encoding.h"
#include "platform/file_ops.h"
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
  // A modal error message titled "エラー" with the critical icon.
  virtual void showError(std::string_view message) = 0;
};

inline constexpr int kMaxLines = 65535;

inline constexpr std::string_view kTooManyLinesMessage = "データが多すぎます。";
inline constexpr std::string_view kNotConvertibleMessage = "このファイルは変換できません。";
inline constexpr std::string_view kFailedStatus = "変換に失敗しました。";
inline constexpr std::string_view kChangedWhileReadingMessage =
    "ファイルが読み込み中に変更されました。もう一度変換してください。";

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
};

// The status text of a run that wrote a page of `size` bytes.
std::string pageWrittenText(std::uint64_t size);

// The repaint intervals, rounded half to even: K1 for the counting pass from
// the file's size, K2 for the reading and converting passes from its lines.
long long countingRepaintInterval(std::uint64_t fileSize);
int lineRepaintInterval(int lineCount);

// Converts the file named by `request.inputPath` into a page beside it. Returns
// the page written, or nullopt when the run did nothing (empty path) or stopped
// (too many lines, no ".txt" in the file name, a file that could not be read or
// written, or that changed while it was read), in which case the user has been told through `view` and no page
// was created or changed. Tag escaping follows the markers for this run only;
// `settings` is not changed.
std::optional<ConversionResult> convertFile(const ConversionRequest& request,
                                            const settings::SettingsRecord& settings,
                                            ConversionView& view, platform::Launcher& launcher);

}  // namespace morlavin::conversion
