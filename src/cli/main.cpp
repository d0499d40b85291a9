// morlavin-convert: converts text files into pages exactly as the main window
// does, for scripts and for machines without a display.
#include <fcntl.h>
#include <getopt.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "cli/terminal_view.h"
#include "conversion/conversion_run.h"
#include "conversion/output_name.h"
#include "platform/folder_listing.h"
#include "platform/launcher.h"
#include "platform/locations.h"
#include "platform/paths.h"
#include "platform/program_dir.h"
#include "platform/temporary_files.h"
#include "platform/texts.h"
#include "settings/settings_file.h"

namespace {

using namespace morlavin;

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

// The catalogue's usage texts end in a NUL, as literals do.
const char* usage() { return texts::batch::usage(japaneseMessages()).data(); }

struct Options {
  std::string settingsPath;
  std::string title;
  bool titleFromFirstLine = false;
  bool titleGiven = false;
  bool open = false;
  bool quiet = false;
  conversion::EncodingChoice encoding = conversion::EncodingChoice::kAuto;
  std::optional<std::string> output;  // -o: the one page's path, "-" for standard output
  bool recursive = false;
  std::vector<std::string> files;
};

// The name that stands for standard input as FILE, and standard output as PAGE.
constexpr std::string_view kStandardStream = "-";

int usageError(const std::string& problem) {
  std::fprintf(stderr, "%s%s\n%s", texts::batch::kProgramPrefix.data(), problem.c_str(), usage());
  return 2;
}

std::optional<conversion::EncodingChoice> encodingNamed(const std::string& name) {
  using conversion::EncodingChoice;
  static constexpr std::pair<std::string_view, EncodingChoice> kNames[] = {
      {"auto", EncodingChoice::kAuto},       {"shift-jis", EncodingChoice::kShiftJis},
      {"euc-jp", EncodingChoice::kEucJp},    {"iso-2022-jp", EncodingChoice::kIso2022Jp},
      {"utf-8", EncodingChoice::kUtf8},      {"utf-16le", EncodingChoice::kUtf16Le},
      {"utf-16be", EncodingChoice::kUtf16Be}};
  for (const auto& [known, choice] : kNames) {
    if (name == known) return choice;
  }
  return std::nullopt;
}

// A closed standard stream would hand its number to the next file opened, and
// a report printed "to stdout" would land in that file, or "-" would read a
// text file. Occupying it with a descriptor open the other way round (stdin
// for writing, the others for reading) turns that into an error instead.
void occupyClosedStream(int fd) {
  if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) return;
  const int placeholder =
      ::open("/dev/null", (fd == STDIN_FILENO ? O_WRONLY : O_RDONLY) | O_CLOEXEC);
  if (placeholder >= 0 && placeholder != fd) {
    ::dup2(placeholder, fd);
    ::close(placeholder);
  }
}

// The options as users type them: short forms, "--name=value", unambiguous
// abbreviations of long names, options after files, and "--" to end them.
constexpr char kShortOptions[] = ":o:rqt:hV";
enum LongOnly { kSettings = 256, kTitleFromFirstLine, kEncoding, kOpen };
constexpr option kLongOptions[] = {
    {"output", required_argument, nullptr, 'o'},
    {"recursive", no_argument, nullptr, 'r'},
    {"quiet", no_argument, nullptr, 'q'},
    {"title", required_argument, nullptr, 't'},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {"settings", required_argument, nullptr, kSettings},
    {"title-from-first-line", no_argument, nullptr, kTitleFromFirstLine},
    {"encoding", required_argument, nullptr, kEncoding},
    {"open", no_argument, nullptr, kOpen},
    {nullptr, 0, nullptr, 0},
};

// The option as the user wrote it, for a message about it: "-x" for a short
// one, the argument itself (without any "=value") for a long one. getopt
// names a short option by its letter; a long one is in the argument it has
// just passed, as is a short one that ends its argument.
std::string optionAsWritten(char** argv, int option) {
  const std::string_view written = argv[optind - 1];
  const bool letter = option > 0 && option < 128 && option != ':';
  const bool known = letter && std::strchr(kShortOptions, option) != nullptr;
  if (letter && (!known || !written.starts_with("--")))
    return std::string("-") + static_cast<char>(option);
  return std::string(written.substr(0, written.find('=')));
}

// Reads the command line into `options`; the exit status when there is
// nothing more to do (help, version or a usage error).
std::optional<int> parseArguments(int argc, char** argv, Options& options) {
  const bool japanese = japaneseMessages();
  opterr = 0;  // the messages are the program's own, in the user's language
  for (int option;
       (option = getopt_long(argc, argv, kShortOptions, kLongOptions, nullptr)) != -1;) {
    switch (option) {
      case 'h':
        std::fputs(usage(), stdout);
        return 0;
      case 'V':
        std::printf("%s%s\n", texts::program::kVersionPrefix.data(),
                    settings::programVersionText().c_str());
        return 0;
      case kSettings:
        options.settingsPath = optarg;
        break;
      case 't':
        options.title = optarg;
        options.titleGiven = true;
        break;
      case kEncoding: {
        const auto encoding = encodingNamed(optarg);
        if (!encoding) return usageError(std::string(texts::batch::encodingNames(japanese)));
        options.encoding = *encoding;
        break;
      }
      case kTitleFromFirstLine:
        options.titleFromFirstLine = true;
        break;
      case kOpen:
        options.open = true;
        break;
      case 'q':
        options.quiet = true;
        break;
      case 'r':
        options.recursive = true;
        break;
      case 'o':
        if (*optarg == '\0')
          return usageError(texts::batch::needsValue(optionAsWritten(argv, 'o'), japanese));
        options.output = optarg;
        break;
      case ':':
        return usageError(texts::batch::needsValue(optionAsWritten(argv, optopt), japanese));
      default: {
        // getopt names an option it knows when that option was given a value it does not take.
        const bool known =
            optopt >= kSettings || (optopt > 0 && std::strchr(kShortOptions + 1, optopt));
        const std::string written = optionAsWritten(argv, optopt);
        return usageError(known ? texts::batch::takesNoValue(written, japanese)
                                : texts::batch::unknownOption(written, japanese));
      }
    }
  }
  options.files.assign(argv + optind, argv + argc);
  if (options.titleGiven && options.titleFromFirstLine) {
    return usageError(std::string(texts::batch::titlesExclude(japanese)));
  }
  if (options.files.empty()) return usageError(std::string(texts::batch::noFile(japanese)));
  if (options.output && (options.files.size() > 1 || options.recursive)) {
    return usageError(std::string(texts::batch::outputTakesOneFile(japanese)));
  }
  if (std::count(options.files.begin(), options.files.end(), kStandardStream) > 1) {
    return usageError(std::string(texts::batch::standardInputOnce(japanese)));
  }
  return std::nullopt;
}

// What every file of one call shares.
struct Batch {
  const Options& options;
  const settings::SettingsRecord& record;
  platform::Launcher& launcher;
  platform::FolderCache folders{};
  bool live;  // a progress line on the terminal
  // Where the reports of written pages go: standard error when a page goes to
  // standard output, so that nothing but the page is there.
  std::FILE* reports;
  int stdoutError = 0;  // the first error met writing a report to stdout
};

// A hidden file gives no title, as in the window.
bool hiddenName(const std::string& path) { return platform::fileNameOf(path).starts_with('.'); }

// Converts one file (found in the folder open as `folder`, if given),
// reporting the page or the failure (on stderr).
bool convertOne(const std::string& file, Batch& batch, int folder = -1) {
  const Options& options = batch.options;
  conversion::ConversionRequest request;
  request.folders = &batch.folders;
  request.inputPath = file;
  request.inputFolder = folder;
  request.openPage = options.open;
  request.encoding = options.encoding;
  request.title = options.title;
  request.titleFromFirstLine = options.titleFromFirstLine && !hiddenName(file);
  if (file == kStandardStream) request.inputStream = STDIN_FILENO;
  // Standard input's page goes to standard output unless -o names another
  // place; no page named: beside its text.
  request.outputPath =
      options.output.value_or(std::string(file == kStandardStream ? kStandardStream : ""));
  if (request.outputPath == kStandardStream) request.outputStream = STDOUT_FILENO;
  cli::TerminalView view(stderr, batch.live);
  // Memory running out (a line larger than memory) fails this file as a text
  // that cannot be read, and the batch goes on; the page being written, held
  // in a temporary file until then, is gone by now.
  const auto result = [&]() -> Result<conversion::ConversionResult> {
    try {
      return conversion::convertFile(request, batch.record, view, batch.launcher);
    } catch (const std::bad_alloc&) {
      return posixError(std::string(texts::files::kCannotRead), ENOMEM);
    }
  }();
  view.finish();
  if (result.ok()) {
    std::fprintf(batch.reports, "%s: %s\n", cli::printableName(result->outputPath).c_str(),
                 texts::status_line::pageWritten(result->size).c_str());
    // Each report leaves as soon as its page is in place: a run ended halfway
    // has reported every page it wrote.
    if (std::fflush(batch.reports) != 0 && batch.stdoutError == 0) batch.stdoutError = errno;
    // Asked to open the page and could not: the page stays, the run failed.
    if (!result->opened.ok()) {
      std::fprintf(stderr, "%s: %s\n", cli::printableName(file).c_str(),
                   cli::printableMessage(result->opened.message()).c_str());
      return false;
    }
    return true;
  }
  // An empty name was not even tried, and the run has no message for it.
  const Status& failure = result.status();
  std::fprintf(stderr, "%s: %s\n", cli::printableName(file).c_str(),
               failure.silent() ? texts::status_line::kFailed.data()
                                : cli::printableMessage(failure.message()).c_str());
  return false;
}

// Converts every regular file with ".txt" in its name (the rule of the
// page's name) below `top`, folder by folder in name order, a folder's files
// and subfolders taken as their names come. Links are not followed, to
// folders or to files: a link planted in a shared tree cannot lead the walk,
// nor a text of the walk's user, elsewhere. Each folder is opened from its
// parent and listed before its files are converted, which are read and
// written there whatever happens to the names meanwhile; pages written
// meanwhile are not taken for texts. What is held at any time is the listing
// of each folder on the way down.
bool convertTree(const std::string& top, Batch& batch) {
  struct Level {
    std::string path;  // ends in "/"
    int fd;
    std::vector<platform::FolderEntry> entries;
    std::size_t next = 0;
  };
  std::vector<Level> levels;
  bool allWritten = true;
  const auto failed = [&](const std::string& path, const Status& status) {
    std::fprintf(stderr, "%s: %s\n", cli::printableName(path).c_str(),
                 cli::printableMessage(status.message()).c_str());
    allWritten = false;
  };
  const auto enter = [&](const std::string& path, Result<int> folder) {
    if (!folder.ok()) return failed(path, folder.status());
    auto listed = platform::listFolder(*folder);
    if (!listed.ok()) {
      ::close(*folder);
      return failed(path, listed.status());
    }
    const std::string prefix = path.ends_with('/') ? path : path + '/';
    batch.folders.hold(prefix, *folder);
    levels.push_back({prefix, *folder, std::move(*listed)});
  };
  enter(top, platform::openFolder(top));
  while (!levels.empty()) {
    Level& level = levels.back();
    if (level.next == level.entries.size()) {
      batch.folders.release(level.path);
      ::close(level.fd);
      levels.pop_back();
      continue;
    }
    const platform::FolderEntry& entry = level.entries[level.next++];
    const std::string path = level.path + entry.name;
    if (entry.isFolder) {
      enter(path, platform::openSubfolder(level.fd, entry.name));
    } else if (conversion::outputPathFor(entry.name, false)) {
      allWritten = convertOne(path, batch, level.fd) && allWritten;
    }
  }
  return allWritten;
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

  for (const int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) occupyClosedStream(stream);
  // A reader that went away is a write error to report, not a silent death.
  std::signal(SIGPIPE, SIG_IGN);

  // The same settings file the window uses; never created here.
  if (options.settingsPath.empty()) {
    const std::string program = platform::programDirectory();
    if (program.empty()) {
      std::fprintf(stderr, "%s%s\n", texts::batch::kProgramPrefix.data(),
                   texts::batch::kNoProgramFolder.data());
    }
    const std::string folder =
        platform::locateFiles(program, platform::UserEnvironment::current()).settingsDirectory;
    if (!folder.empty()) {
      options.settingsPath =
          platform::directoryPrefix(folder) + std::string(settings::kSettingsFileName);
    }
  }
  // A settings file that cannot be read leaves every option at its default,
  // as a missing one does.
  const settings::SettingsRecord record =
      settings::readSettings(options.settingsPath).value_or(settings::defaultSettings());
  platform::DesktopLauncher launcher;
  const bool pageToStdout = options.output ? *options.output == kStandardStream
                                           : std::find(options.files.begin(), options.files.end(),
                                                       kStandardStream) != options.files.end();
  Batch batch{.options = options,
              .record = record,
              .launcher = launcher,
              .live = !options.quiet && ::isatty(STDERR_FILENO),
              .reports = pageToStdout ? stderr : stdout};

  int status = 0;
  for (const std::string& file : options.files) {
    const bool tree = options.recursive && file != kStandardStream && platform::isFolder(file);
    if (!(tree ? convertTree(file, batch) : convertOne(file, batch))) status = 1;
  }
  if (!reportsWritten(batch.reports == stdout ? batch.stdoutError : 0)) status = 1;
  return status;
}
