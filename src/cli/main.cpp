// morlavin-convert: converts text files into pages exactly as the main window
// does, for scripts and for machines without a display.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "cli/terminal_view.h"
#include "conversion/conversion_run.h"
#include "conversion/title_import.h"
#include "platform/launcher.h"
#include "platform/program_dir.h"
#include "platform/temporary_files.h"
#include "platform/texts.h"
#include "settings/settings_file.h"

namespace {

using namespace morlavin;

constexpr char kUsage[] =
    "usage: morlavin-convert [--settings FILE] [--title TEXT | --title-from-first-line]\n"
    "                        [--open] [--quiet] [--] FILE...\n"
    "\n"
    "Converts Shift-JIS text files into HTML pages beside them (memo.txt -> memo.htm).\n"
    "\n"
    "  --settings FILE          read the options from FILE instead of Morlavin.ini\n"
    "                           beside the program (never written)\n"
    "  --title TEXT             the page title (default: \"Morlavin - \" and the page's path)\n"
    "  --title-from-first-line  take each page's title from its file's first line\n"
    "  --open                   open each written page with the desktop's handler\n"
    "  --quiet                  no progress display\n"
    "  --help, --version        print this help or the version and exit\n"
    "\n"
    "Exit status: 0 when every page was written, 1 when any file failed, 2 for a usage error.\n";

struct Options {
  std::string settingsPath;
  std::string title;
  bool titleFromFirstLine = false;
  bool titleGiven = false;
  bool open = false;
  bool quiet = false;
  conversion::EncodingChoice encoding = conversion::EncodingChoice::kAuto;
  std::vector<std::string> files;
};

int usageError(const std::string& problem) {
  std::fprintf(stderr, "%s%s\n%s", texts::batch::kProgramPrefix.data(), problem.c_str(), kUsage);
  return 2;
}

std::optional<conversion::EncodingChoice> encodingNamed(const std::string& name) {
  if (name == "auto") return conversion::EncodingChoice::kAuto;
  if (name == "shift-jis") return conversion::EncodingChoice::kShiftJis;
  if (name == "utf-8") return conversion::EncodingChoice::kUtf8;
  return std::nullopt;
}

// A closed standard stream would hand its number to the next file opened, and
// a report printed "to stdout" would land in that file. Occupying it with a
// descriptor that cannot be written turns that into a write error instead.
void occupyClosedStream(int fd) {
  if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) return;
  const int placeholder = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  if (placeholder >= 0 && placeholder != fd) {
    ::dup2(placeholder, fd);
    ::close(placeholder);
  }
}

// Reads the command line into `options`; the exit status when there is
// nothing more to do (help, version or a usage error).
std::optional<int> parseArguments(int argc, char** argv, Options& options) {
  bool optionsDone = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (optionsDone || arg.empty() || arg[0] != '-' || arg == "-") {
      options.files.push_back(arg);
    } else if (arg == "--") {
      optionsDone = true;
    } else if (arg == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg == "--version") {
      std::printf("Morlavin Ver %s\n", settings::programVersionText().c_str());
      return 0;
    } else if (arg == "--settings" || arg == "--title") {
      if (i + 1 >= argc) return usageError(texts::batch::needsValue(arg));
      (arg == "--settings" ? options.settingsPath : options.title) = argv[++i];
      if (arg == "--title") options.titleGiven = true;
    } else if (arg == "--encoding") {
      if (i + 1 >= argc) return usageError(texts::batch::needsValue(arg));
      const auto encoding = encodingNamed(argv[++i]);
      if (!encoding) return usageError(std::string(texts::batch::kEncodingNames));
      options.encoding = *encoding;
    } else if (arg == "--title-from-first-line") {
      options.titleFromFirstLine = true;
    } else if (arg == "--open") {
      options.open = true;
    } else if (arg == "--quiet") {
      options.quiet = true;
    } else {
      return usageError(texts::batch::unknownOption(arg));
    }
  }
  if (options.titleGiven && options.titleFromFirstLine) {
    return usageError(std::string(texts::batch::kTitlesExclude));
  }
  if (options.files.empty()) return usageError(std::string(texts::batch::kNoFile));
  return std::nullopt;
}

// Converts one file, reporting the page on stdout or the failure on stderr.
bool convertOne(const std::string& file, const Options& options, const settings::SettingsRecord& record,
                platform::Launcher& launcher, bool live) {
  conversion::ConversionRequest request;
  request.inputPath = file;
  request.openPage = options.open;
  request.encoding = options.encoding;
  request.title = options.titleFromFirstLine
                      ? conversion::importTitle(file, options.encoding).value_or(std::string())
                      : options.title;
  cli::TerminalView view(stderr, live);
  const auto result = conversion::convertFile(request, record, view, launcher);
  view.finish();
  if (result) {
    std::printf("%s: %s\n", cli::printableName(result->outputPath).c_str(),
                texts::status_line::pageWritten(result->size).c_str());
    return true;
  }
  // An empty name was not even tried, and the run has no message for it.
  const std::string message = result.status().message();
  std::fprintf(stderr, "%s: %s\n", cli::printableName(file).c_str(),
               message.empty() ? texts::status_line::kFailed.data() : cli::printableMessage(message).c_str());
  return false;
}

// The reports are part of the result: losing them is a failure. `stdoutError`
// is the first error seen while writing them, or 0.
bool reportsWritten(int stdoutError) {
  if (std::fflush(stdout) != 0 && stdoutError == 0) stdoutError = errno;
  if (stdoutError == 0 && std::ferror(stdout)) stdoutError = EIO;
  if (stdoutError == 0) return true;
  const std::string reason = stdoutError == EBADF   ? std::string(texts::batch::kStdoutClosed)
                             : stdoutError == EPIPE ? std::string(texts::batch::kStdoutReaderGone)
                                                    : describeErrno(stdoutError);
  std::fprintf(stderr, "%s%s\n", texts::batch::kProgramPrefix.data(),
               texts::batch::cannotWriteStdout(reason).c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  platform::removeTemporaryFilesOnSignals();
  Options options;
  if (const std::optional<int> exitStatus = parseArguments(argc, argv, options)) return *exitStatus;

  occupyClosedStream(STDOUT_FILENO);
  occupyClosedStream(STDERR_FILENO);
  // A reader that went away is a write error to report, not a silent death.
  std::signal(SIGPIPE, SIG_IGN);

  if (options.settingsPath.empty()) {
    options.settingsPath = platform::directoryPrefix(platform::programDirectory()) +
                           std::string(settings::kSettingsFileName);
  }
  const settings::SettingsRecord record = settings::readSettings(options.settingsPath);
  platform::DesktopLauncher launcher;
  const bool live = !options.quiet && ::isatty(STDERR_FILENO);

  int status = 0;
  int stdoutError = 0;
  for (const std::string& file : options.files) {
    if (!convertOne(file, options, record, launcher, live)) {
      status = 1;
    } else if (std::fflush(stdout) != 0 && stdoutError == 0) {
      stdoutError = errno;
    }
  }
  if (!reportsWritten(stdoutError)) status = 1;
  return status;
}
