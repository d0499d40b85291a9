// morlavin-convert: converts text files into pages exactly as the main window
// does, for scripts and for machines without a display.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "cli/terminal_view.h"
#include "conversion/conversion_run.h"
#include "conversion/title_import.h"
#include "platform/launcher.h"
#include "platform/locations.h"
#include "platform/program_dir.h"
#include "platform/temporary_files.h"
#include "platform/texts.h"
#include "settings/settings_file.h"

namespace {

using namespace morlavin;

constexpr char kUsageEnglish[] =
    "usage: morlavin-convert [--settings FILE] [--title TEXT | --title-from-first-line]\n"
    "                        [--encoding auto|shift-jis|utf-8] [--open] [--quiet] [--] FILE...\n"
    "\n"
    "Converts Shift-JIS or UTF-8 text files into HTML pages beside them (memo.txt -> memo.htm).\n"
    "\n"
    "  --settings FILE          read the options from FILE instead of the Morlavin.ini the\n"
    "                           window uses (beside the program, or in ~/.config/morlavin/);\n"
    "                           never written\n"
    "  --title TEXT             the page title (default: \"Morlavin - \" and the page's path)\n"
    "  --title-from-first-line  take each page's title from its file's first line\n"
    "  --encoding auto|shift-jis|utf-8\n"
    "                           the files' encoding (default auto: UTF-8 when the file is\n"
    "                           UTF-8 text, else Shift-JIS)\n"
    "  --open                   open each written page with the desktop's handler\n"
    "  --quiet                  no progress display\n"
    "  --help, --version        print this help or the version and exit\n"
    "\n"
    "Exit status: 0 when every page was written, 1 when any file failed, 2 for a usage error.\n";

constexpr char kUsageJapanese[] =
    "使い方: morlavin-convert [--settings ファイル] [--title 題名 | --title-from-first-line]\n"
    "                         [--encoding auto|shift-jis|utf-8] [--open] [--quiet] [--] ファイル...\n"
    "\n"
    "Shift-JIS または UTF-8 のテキストファイルを、同じフォルダの HTML ページに変換します\n"
    "(memo.txt -> memo.htm)。\n"
    "\n"
    "  --settings ファイル      設定をこのファイルから読みます。省略時はウィンドウと同じ\n"
    "                           Morlavin.ini (プログラムのフォルダか ~/.config/morlavin/)。\n"
    "                           設定ファイルは書き換えません\n"
    "  --title 題名             ページの題名 (省略時: \"Morlavin - \" とページのパス)\n"
    "  --title-from-first-line  各ファイルの 1 行目を題名にします\n"
    "  --encoding auto|shift-jis|utf-8\n"
    "                           テキストの文字コード (省略時 auto: UTF-8 のテキストなら\n"
    "                           UTF-8、それ以外は Shift-JIS)\n"
    "  --open                   書き込んだページを既定のアプリケーションで開きます\n"
    "  --quiet                  進行状況を表示しません\n"
    "  --help, --version        この説明またはバージョンを表示して終了します\n"
    "\n"
    "終了コード: すべてのページを書き込めたら 0、失敗したファイルがあれば 1、使い方の誤りは 2。\n";

// Help and usage errors follow the user's language for messages, like any
// other command's: the first of LC_ALL, LC_MESSAGES and LANG that is set.
// Results are always Japanese, as in the window.
bool japaneseMessages() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && value[0] != '\0') return std::strncmp(value, "ja", 2) == 0;
  }
  return false;
}

const char* usage() { return japaneseMessages() ? kUsageJapanese : kUsageEnglish; }

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
  std::fprintf(stderr, "%s%s\n%s", texts::batch::kProgramPrefix.data(), problem.c_str(), usage());
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
      std::fputs(usage(), stdout);
      return 0;
    } else if (arg == "--version") {
      std::printf("Morlavin Ver %s\n", settings::programVersionText().c_str());
      return 0;
    } else if (arg == "--settings" || arg == "--title") {
      if (i + 1 >= argc) return usageError(texts::batch::needsValue(arg, japaneseMessages()));
      (arg == "--settings" ? options.settingsPath : options.title) = argv[++i];
      if (arg == "--title") options.titleGiven = true;
    } else if (arg == "--encoding") {
      if (i + 1 >= argc) return usageError(texts::batch::needsValue(arg, japaneseMessages()));
      const auto encoding = encodingNamed(argv[++i]);
      if (!encoding) return usageError(std::string(texts::batch::encodingNames(japaneseMessages())));
      options.encoding = *encoding;
    } else if (arg == "--title-from-first-line") {
      options.titleFromFirstLine = true;
    } else if (arg == "--open") {
      options.open = true;
    } else if (arg == "--quiet") {
      options.quiet = true;
    } else {
      return usageError(texts::batch::unknownOption(arg, japaneseMessages()));
    }
  }
  if (options.titleGiven && options.titleFromFirstLine) {
    return usageError(std::string(texts::batch::titlesExclude(japaneseMessages())));
  }
  if (options.files.empty()) return usageError(std::string(texts::batch::noFile(japaneseMessages())));
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
    // Asked to open the page and could not: the page stays, the run failed.
    if (!result->opened) {
      std::fprintf(stderr, "%s: %s\n", cli::printableName(file).c_str(),
                   cli::printableMessage(result->opened.message()).c_str());
      return false;
    }
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

  // The same settings file the window uses; never created here.
  if (options.settingsPath.empty()) {
    const std::string program = platform::programDirectory();
    if (program.empty()) {
      std::fprintf(stderr, "%s%s\n", texts::batch::kProgramPrefix.data(), texts::batch::kNoProgramFolder.data());
    }
    const std::string folder =
        platform::locateFiles(program, platform::UserEnvironment::current()).settingsDirectory;
    if (!folder.empty()) {
      options.settingsPath = platform::directoryPrefix(folder) + std::string(settings::kSettingsFileName);
    }
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
