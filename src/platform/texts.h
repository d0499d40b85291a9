// Every text the program shows its user, in one place: messages, the windows'
// captions, titles, menus and tooltips, the names a screen reader reads, the
// batch converter's usage. Grouped by where the user meets them, so that they
// can be read and reviewed as one voice. Tests and golden files hold them byte
// for byte: a change here is a change the user sees.
#pragma once

#include <cerrno>
#include <cstdint>
#include <string>
#include <string_view>

namespace morlavin::texts {

// ---------------------------------------------------------------------------
// Reasons: why something failed, shown in brackets after what failed.
namespace reasons {

struct ErrnoReason {
  int errnoValue;
  std::string_view reason;
};

// A system error number's reason. An error number missing here is told by
// unexpectedErrno().
inline constexpr ErrnoReason kErrnoReasons[] = {
    {ENOENT, "ファイルまたはフォルダが見つかりません"},
    {EACCES, "アクセスが拒否されました"},
    {EPERM, "アクセスが拒否されました"},
    {EISDIR, "フォルダです"},
    {ENOTDIR, "パスの途中にフォルダではないものがあります"},
    {ENOSPC, "ディスクの空き容量が足りません"},
    {EDQUOT, "ディスクの空き容量が足りません"},
    {EROFS, "読み取り専用のファイルシステムです"},
    {ENOMEM, "メモリが足りません"},
    {ENAMETOOLONG, "パスが長すぎます"},
    {EFBIG, "ファイルが大きすぎます"},
    {EOVERFLOW, "ファイルが大きすぎます"},
    {ETXTBSY, "ファイルが使用中です"},
    {EIO, "入出力エラーが発生しました"},
    {EINVAL, "この操作はできません"},
    {EEXIST, "同じ名前のファイルがすでにあります"},
    {EXDEV, "別のファイルシステムへは移動できません"},
    {EBUSY, "ファイルまたはフォルダが使用中です"},
    {ELOOP, "シンボリックリンクが多すぎるか、循環しています"},
    {EMLINK, "リンクが多すぎます"},
    {ENXIO, "デバイスが見つかりません"},
    {ENODEV, "デバイスが見つかりません"},
    {EMFILE, "開いているファイルが多すぎます"},
    {ENFILE, "開いているファイルが多すぎます"},
    {EAGAIN, "一時的に使用できません"},
    {ENOTEMPTY, "フォルダが空ではありません"},
    {EOPNOTSUPP, "このファイルシステムではできない操作です"},
    {ENOSYS, "このファイルシステムではできない操作です"},
    {ESTALE, "ネットワーク上のファイルが無効になりました"},
    {EINTR, "操作が中断されました"},
    {ETIMEDOUT, "時間切れになりました"},
    {EPIPE, "書き込み先が閉じられています"},
    {EBADF, "ファイルが開かれていません"},
    {ESPIPE, "位置を移動できないファイルです"},
    {ENOLCK, "ファイルをロックできません"},
    {ENOMEDIUM, "メディアが入っていません"},
    {ENOTCONN, "接続が切れています"},
    {ENOLINK, "接続が切れています"},
    {EHOSTDOWN, "接続が切れています"},
    {EHOSTUNREACH, "接続が切れています"},
    {ENETDOWN, "接続が切れています"},
    {ENETUNREACH, "接続が切れています"},
    {ECONNRESET, "接続が切れています"},
    {ECONNABORTED, "接続が切れています"},
    {ECONNREFUSED, "接続が切れています"},
    {EUCLEAN, "ファイルシステムが壊れています"},
    {EREMOTEIO, "リモートの入出力エラーが発生しました"},
    {ECANCELED, "操作が取り消されました"},
    {E2BIG, "引数が長すぎます"},
    {ENOEXEC, "実行できる形式ではありません"},
    {EFAULT, "不正なアドレスです"},
    {EDEADLK, "デッドロックが起きるため実行できません"},
    {ENOTTY, "この種類のファイルにはできない操作です"},
};

inline std::string unexpectedErrno(int errnoValue) {
  return "予期しないエラーです (errno " + std::to_string(errnoValue) + ")";
}

// The program's own refusals.
inline constexpr std::string_view kNotRegularFile = "通常のファイルではありません";
inline constexpr std::string_view kReadOnlyFile = "読み取り専用のファイルです";
// A settings value (or key) that would break the one-line INI entry.
inline constexpr std::string_view kLineBreakInValue = "改行を含む値は保存できません";

}  // namespace reasons

// ---------------------------------------------------------------------------
// Files: what failed, followed by a reason.
namespace files {

inline constexpr std::string_view kCannotOpen = "ファイルを開けません";
inline constexpr std::string_view kCannotRead = "ファイルを読み込めません";
inline constexpr std::string_view kCannotCreateFolder = "フォルダを作成できません";
// What a page written to standard output is called in a message.
inline constexpr std::string_view kStandardOutput = "標準出力";

inline constexpr std::string_view kCannotOpenFolder = "フォルダを開けません";
inline constexpr std::string_view kCannotReadFolder = "フォルダを読み込めません";
inline std::string cannotWrite(std::string_view path) {
  return "書き込めません: " + std::string(path);
}
inline std::string cannotDelete(std::string_view path) {
  return "ファイルを削除できません: " + std::string(path);
}
// An INI file that must be read before one of its keys is replaced.
inline std::string cannotReadToUpdate(std::string_view path) {
  return "読み込めません: " + std::string(path);
}
inline std::string lineEndInValue(std::string_view key) {
  return std::string(reasons::kLineBreakInValue) + ": " + std::string(key);
}

}  // namespace files

// ---------------------------------------------------------------------------
// Starting other programs.
namespace launching {

inline std::string cannotStart(std::string_view program) {
  return "起動できません: " + std::string(program);
}
inline std::string cannotOpen(std::string_view document) {
  return "開けません: " + std::string(document);
}
// Why the desktop's opener (xdg-open) could not open a file, by its exit status.
inline std::string openerFailed(int exitStatus) {
  switch (exitStatus) {
    case 2:
      return "ファイルが見つかりません";
    case 3:
      return "開くためのアプリケーションが見つかりません";
    case 4:
      return "アプリケーションで開けませんでした";
    default:
      return "xdg-open が終了コード " + std::to_string(exitStatus) + " で終了しました";
  }
}
inline std::string openerKilled(int signalNumber) {
  return "xdg-open がシグナル " + std::to_string(signalNumber) + " で終了しました";
}
// The conversion's page, written but not opened: told in the window and by the batch converter.
inline std::string pageNotOpened(std::string_view page) {
  return "HTMLファイルは作成しましたが、開けませんでした: " + std::string(page);
}

}  // namespace launching

// ---------------------------------------------------------------------------
// The conversion's status line, in the order a run shows them. The spaces and
// brackets differ from text to text, and stay so.
namespace status_line {

inline constexpr std::string_view kCountingStarts = "行数をチェックしています....0行";

inline std::string counting(long long lines) {
  return "行数をチェックしています....  " + std::to_string(lines) + "行";
}
inline std::string reading(int line, int total) {
  return "テキストを読み込んでいます....  (" + std::to_string(line) + "行/" +
         std::to_string(total) + "行)";
}
inline std::string beforeWriting(int stored, int total) {
  return "テキストを変換しています....(" + std::to_string(stored) + "行/" + std::to_string(total) +
         "行)";
}
inline std::string converting(int line, int total) {
  return "テキストを変換しています.... (" + std::to_string(line) + "行/" + std::to_string(total) +
         "行)";
}
inline std::string pageWritten(std::uint64_t size) {
  return "テキストを変換しました。(変換後のサイズ:" + std::to_string(size) + "bytes)";
}
inline constexpr std::string_view kFailed = "変換に失敗しました。";

}  // namespace status_line

// ---------------------------------------------------------------------------
// The conversion's error messages (besides the file errors above).
namespace conversion_errors {

inline constexpr std::string_view kTooManyLines = "データが多すぎます。";
inline constexpr std::string_view kNotConvertible = "このファイルは変換できません。";
inline std::string pageWouldReplaceText(std::string_view page) {
  return "ページの書き込み先が変換するテキストそのものです: " + std::string(page);
}
inline constexpr std::string_view kChangedWhileReading =
    "ファイルが読み込み中に変更されました。もう一度変換してください。";

}  // namespace conversion_errors

// ---------------------------------------------------------------------------
// The batch converter's own messages, after "morlavin-convert: ", and its
// usage. The usage names every option of its option table (cli/main.cpp).
namespace batch {

inline constexpr std::string_view kUsageEnglish =
    "usage: morlavin-convert [-o PAGE | -r] [--settings FILE] [-t TEXT | --title-from-first-line]\n"
    "                        [--encoding ENCODING] [--open] [--quiet] [--] FILE...\n"
    "\n"
    "Converts Japanese text files into HTML pages beside them (memo.txt -> memo.htm).\n"
    "A FILE of - is standard input, and its page goes to standard output.\n"
    "\n"
    "  -o, --output PAGE        write the one FILE's page to PAGE (- for standard output);\n"
    "                           the FILE then needs no \".txt\" in its name\n"
    "  -r, --recursive          convert every file with \".txt\" in its name below each\n"
    "                           folder given, in name order, not following links\n"
    "  --settings FILE          read the options from FILE instead of the Morlavin.ini the\n"
    "                           window uses (beside the program, or in ~/.config/morlavin/);\n"
    "                           never written\n"
    "  -t, --title TEXT         the page title (default: \"Morlavin - \" and the page's path)\n"
    "  --title-from-first-line  take each page's title from its file's first line\n"
    "  --encoding ENCODING      the files' encoding: auto (the default), shift-jis, euc-jp,\n"
    "                           iso-2022-jp, utf-8, utf-16le or utf-16be. auto decides per\n"
    "                           file: a byte-order mark, NUL bytes (UTF-16), JIS escape\n"
    "                           sequences (ISO-2022-JP), valid UTF-8, else Shift-JIS or\n"
    "                           EUC-JP, whichever reads as Japanese. ISO-2022-JP and UTF-16\n"
    "                           give UTF-8 pages; what does not decode shows as U+FFFD\n"
    "  --open                   open each written page with the desktop's handler\n"
    "  -q, --quiet              no progress display\n"
    "  -h, --help               print this help and exit\n"
    "  -V, --version            print the version and exit\n"
    "\n"
    "Pages written are reported on standard output, or on standard error when a page goes\n"
    "to standard output.\n"
    "Exit status: 0 when every page was written, 1 when any file failed, 2 for a usage error.\n";

inline constexpr std::string_view kUsageJapanese =
    "使い方: morlavin-convert [-o ページ | -r] [--settings ファイル] [-t 題名 | "
    "--title-from-first-line]\n"
    "                         [--encoding 文字コード] [--open] [--quiet] [--] ファイル...\n"
    "\n"
    "日本語のテキストファイルを、同じフォルダの HTML ページに変換します (memo.txt -> memo.htm)。\n"
    "ファイル名 - は標準入力で、そのページは標準出力に書きます。\n"
    "\n"
    "  -o, --output ページ      ファイル一つのページをこの名前で書きます (- は標準出力)。\n"
    "                           ファイル名に \".txt\" がなくても変換します\n"
    "  -r, --recursive          指定したフォルダの下にある、名前に \".txt\" を含むファイルを\n"
    "                           名前の順にすべて変換します。リンクはたどりません\n"
    "  --settings ファイル      設定をこのファイルから読みます。省略時はウィンドウと同じ\n"
    "                           Morlavin.ini (プログラムのフォルダか ~/.config/morlavin/)。\n"
    "                           設定ファイルは書き換えません\n"
    "  -t, --title 題名         ページの題名 (省略時: \"Morlavin - \" とページのパス)\n"
    "  --title-from-first-line  各ファイルの 1 行目を題名にします\n"
    "  --encoding 文字コード    テキストの文字コード: auto (省略時)、shift-jis、euc-jp、\n"
    "                           iso-2022-jp、utf-8、utf-16le、utf-16be。auto はファイルごとに\n"
    "                           判定します: BOM、NUL バイト (UTF-16)、JIS のエスケープシーケンス\n"
    "                           (ISO-2022-JP)、正しい UTF-8、それ以外は日本語として自然に読める\n"
    "                           方の Shift-JIS か EUC-JP。ISO-2022-JP と UTF-16 のページは UTF-8 "
    "に\n"
    "                           なり、解読できないバイトは U+FFFD で表示されます\n"
    "  --open                   書き込んだページを既定のアプリケーションで開きます\n"
    "  -q, --quiet              進行状況を表示しません\n"
    "  -h, --help               この説明を表示して終了します\n"
    "  -V, --version            バージョンを表示して終了します\n"
    "\n"
    "書き込んだページは標準出力に報告します。ページを標準出力に書くときは標準エラー出力に\n"
    "報告します。\n"
    "終了コード: すべてのページを書き込めたら 0、失敗したファイルがあれば 1、使い方の誤りは 2。\n";

// Help and usage errors speak the messages language, as below.
inline std::string_view usage(bool japanese) { return japanese ? kUsageJapanese : kUsageEnglish; }

inline constexpr std::string_view kProgramPrefix = "morlavin-convert: ";
// Usage errors speak the messages language: Japanese in a Japanese locale,
// English otherwise.
inline std::string needsValue(std::string_view option, bool japanese) {
  return std::string(option) + (japanese ? " には値が必要です" : " needs a value");
}
inline std::string_view encodingNames(bool japanese) {
  return japanese
             ? "--encoding には auto、shift-jis、euc-jp、iso-2022-jp、utf-8、utf-16le、utf-16be "
               "のどれかを指定してください"
             : "--encoding takes auto, shift-jis, euc-jp, iso-2022-jp, utf-8, utf-16le or utf-16be";
}
inline std::string takesNoValue(std::string_view option, bool japanese) {
  return std::string(option) + (japanese ? " には値を指定できません" : " takes no value");
}
inline std::string unknownOption(std::string_view option, bool japanese) {
  return (japanese ? "不明なオプションです: " : "unknown option ") + std::string(option);
}
inline std::string_view titlesExclude(bool japanese) {
  return japanese ? "--title と --title-from-first-line は同時に指定できません"
                  : "--title and --title-from-first-line exclude each other";
}
inline std::string_view outputTakesOneFile(bool japanese) {
  return japanese ? "-o (--output) にはファイルを一つだけ指定してください"
                  : "-o (--output) takes exactly one FILE";
}
inline std::string_view standardInputOnce(bool japanese) {
  return japanese ? "標準入力 (-) は一度しか読めません"
                  : "standard input (-) can be read only once";
}
inline std::string_view noFile(bool japanese) {
  return japanese ? "ファイルが指定されていません" : "no FILE given";
}

inline constexpr std::string_view kNoProgramFolder = "プログラムのあるフォルダが見つかりません";

inline std::string cannotWriteStdout(std::string_view reason) {
  return "標準出力に書き込めません (" + std::string(reason) + ")";
}
inline constexpr std::string_view kStdoutClosed = "閉じられています";
inline constexpr std::string_view kStdoutReaderGone = "読み出す側が終了しました";

}  // namespace batch

// ---------------------------------------------------------------------------
// Settings and program texts: the settings file and the program's own
// decisions (start-up, the main window's commands, the about box, the preview).
namespace program {

// Message boxes titled "Morlavin" at start-up, and when settings are saved.
inline constexpr std::string_view kUpgradeNotice =
    "バージョンアップのため、設定ファイルを更新します。";
inline constexpr std::string_view kBackupNotice =
    "バージョンが設定ファイルより古いので、バックアップを行います。";
inline constexpr std::string_view kSettingsUnreadable = "設定ファイルを読み込めません: ";
inline constexpr std::string_view kSettingsNotAllSaved =
    "設定ファイルに保存できなかった設定があります: ";
inline constexpr std::string_view kBackupFailed = "設定ファイルのバックアップを作成できません: ";
inline constexpr std::string_view kBackupUnnamed =
    "バージョンの数値が大きすぎて、バックアップの名前を決められません";
inline constexpr std::string_view kNoProgramDirectory =
    "プログラムのあるフォルダが見つかりません。ヘルプと ReadMe は開けません。";
inline constexpr std::string_view kNoSettingsFolder =
    "設定ファイルを置くフォルダが見つかりません。設定は保存されません。";

// Why one setting could not be stored, after its key's name.
inline constexpr std::string_view kValueHasLineBreak = reasons::kLineBreakInValue;
inline constexpr std::string_view kValueNotShiftJis =
    "Shift-JISで表せない文字を含む値は保存できません";

// The main window: the translator button, the delete button and its status line.
inline constexpr std::string_view kNoTranslator = "翻訳ソフトを指定してください。";
inline constexpr std::string_view kPageDeleted = "変換したHTMLファイルを消去しました.";
inline constexpr std::string_view kPageNotDeleted = "HTMLファイルを消去できませんでした。";
inline constexpr std::string_view kPageChanged =
    "変換後に変更されたため、HTMLファイルを削除しませんでした: ";

// Before the version, in the about box and the batch converter's --version.
inline constexpr std::string_view kVersionPrefix = "Morlavin Ver ";

// The preferences dialog's preview button.
inline constexpr std::string_view kPreviewFailed = "プレビューを作成できません: ";
inline constexpr std::string_view kPreviewNotOpened =
    "プレビューを作成しましたが、開けませんでした: ";

}  // namespace program

// ---------------------------------------------------------------------------
// The windows' words. In a caption "&" marks the access key, the letter after
// it; a label shows its text as it stands.
namespace windows {

// Titles the main window and the message boxes that are the program's own.
inline constexpr std::string_view kProgramName = "Morlavin";
inline constexpr std::string_view kErrorTitle = "エラー";
inline constexpr std::string_view kMessageTitle = "メッセージ";
inline constexpr std::string_view kAboutTitle = "About Morlavin";
// The button beside a file-name box, in the main window and in 環境設定.
inline constexpr std::string_view kBrowse = "参照...(&B)";

}  // namespace windows

// The main window's controls in the order of its tab chain, then its menus.
namespace main_window {

inline constexpr std::string_view kFileNameLabel = "ファイル名：";
inline constexpr std::string_view kStatusPrompt =
    "ファイル名を指定して変換キーを押してください。D&Dに対応しています。";
// What a screen reader calls the progress bar.
inline constexpr std::string_view kProgressName = "変換の進行状況";
inline constexpr std::string_view kTitleLabel = "タイトル：";
inline constexpr std::string_view kImportTitle = "取込(&G)";
inline constexpr std::string_view kConvert = "変換開始(&C)";
inline constexpr std::string_view kDeletePage = "HTML消去(&D)";
inline constexpr std::string_view kStartTranslator = "ソフト起動(&S)";

inline constexpr std::string_view kFileMenu = "ファイル(&F)";
inline constexpr std::string_view kOpenText = "テキストファイルを開く(&O)";
inline constexpr std::string_view kExit = "終了(&X)";
inline constexpr std::string_view kSettingsMenu = "設定(&S)";
inline constexpr std::string_view kPreferences = "環境設定...(&E)";
inline constexpr std::string_view kHelpMenu = "ヘルプ(&H)";
inline constexpr std::string_view kHelpTopics = "トピックの検索(&H)";
inline constexpr std::string_view kReadme = "ReadMe(&R)";
inline constexpr std::string_view kAbout = "バージョン情報(&A)";

// The file dialog's one entry.
inline constexpr std::string_view kTextFiles = "テキスト ファイル (*.txt)";

}  // namespace main_window

// 環境設定, from top to bottom.
namespace preferences_dialog {

// A control's caption and the tooltip that explains it.
struct Captioned {
  std::string_view caption;
  std::string_view tooltip;
};

inline constexpr std::string_view kTitle = "環境設定";
inline constexpr std::string_view kTranslatorLabel = "翻訳ソフト指定：";
// The translator's file dialog's one entry.
inline constexpr std::string_view kPrograms = "実行可能ファイル";

inline constexpr Captioned kNoCharsetMeta = {"文字コード設定の<META>タグを使わない",
                                             "変換する時文字コード用の<META>タグを追加しません。"};
inline constexpr Captioned kDeleteOnExit = {"ソフト終了時にHTMLファイルを削除",
                                            "ソフト終了後に変換したHTMLファイルを消去します。"};
inline constexpr Captioned kHtmlExtension = {"HTML変換後の拡張子は.html",
                                             "HTMLに変換したときの拡張子を.htmlにします。"};
inline constexpr Captioned kIgnoreTags = {"テキスト中のタグ認識を無効",
                                          "変換中、<BR>などのタグを認識しないようにします。"};

inline constexpr std::string_view kHtmlFrame = "HTMLの設定";

// One colour's group: what a screen reader names its controls after, the
// caption of its list with the tooltip of both, and its manual switch's tooltip.
struct ColourGroup {
  std::string_view colour;
  Captioned list;
  std::string_view manualTooltip;
};
inline constexpr ColourGroup kBackgroundColour = {
    "背景色", {"背景色の設定", "背景色を設定します。"}, "背景色を手動設定できます。"};
inline constexpr ColourGroup kTextColour = {
    "文字色", {"文字色の設定", "文字色を設定します。"}, "文字色を手動設定できます。"};
// The manual switch; a screen reader hears the group's colour before it.
inline constexpr std::string_view kManual = "手動設定";
// Red, green and blue: the value boxes' captions, and what a screen reader
// calls a box and its up-down after the group's colour.
inline constexpr std::string_view kComponentCaptions[] = {"R：", "G：", "B："};
inline constexpr std::string_view kComponentNames[] = {"赤", "緑", "青"};

// The switch; the file-name box beside it has the same tooltip.
inline constexpr Captioned kBackgroundImage = {"背景画像", "背景画像を設定します。"};
inline constexpr std::string_view kBackgroundImageFile = "背景画像のファイル";
inline constexpr Captioned kDefaults = {"標準", "HTML設定を初期に戻します"};
inline constexpr Captioned kPreview = {"プレビュー", "表示プレビューを"};

inline constexpr std::string_view kOk = "OK";
inline constexpr std::string_view kCancel = "ｷｬﾝｾﾙ";
inline constexpr std::string_view kHelp = "ヘルプ";

}  // namespace preferences_dialog

// The help viewer.
namespace help_window {

inline constexpr std::string_view kHelpTitle = "Morlavin ヘルプ";
inline constexpr std::string_view kReadmeTitle = "Morlavin ReadMe";
inline constexpr std::string_view kFind = "検索：";
inline constexpr std::string_view kNotFound = "見つかりません。";
// In place of a file that cannot be read, "%1" standing for its path: the
// help's as HTML, escaped; the read-me's as plain text.
inline constexpr std::string_view kHelpMissing =
    "<p>ヘルプファイル %1 が見つかりません。</p>"
    "<p>Morlavin を入れ直すと、ヘルプファイルも元に戻ります。</p>";
inline constexpr std::string_view kReadmeMissing =
    "ReadMe ファイル %1 が見つかりません。\n"
    "Morlavin を入れ直すと、ReadMe ファイルも元に戻ります。";

}  // namespace help_window

// Qt's own words that its Japanese catalogue leaves in English, by Qt's
// context and source text. The file dialog's type column names folders,
// links, drives and files of no known type with these; "フォルダ" as Qt's own
// "新しいフォルダ" has it.
namespace qt_words {

struct QtWord {
  std::string_view context;
  std::string_view source;
  std::string_view japanese;
};
inline constexpr QtWord kJapanese[] = {
    {"QAbstractFileIconProvider", "Folder", "フォルダ"},
    {"QAbstractFileIconProvider", "Alias", "エイリアス"},
    {"QAbstractFileIconProvider", "Shortcut", "ショートカット"},
    {"QAbstractFileIconProvider", "Drive", "ドライブ"},
    {"QAbstractFileIconProvider", "Unknown", "不明"},
    {"QAbstractFileIconProvider", "%1 File", "%1 ファイル"},
};

}  // namespace qt_words

}  // namespace morlavin::texts

namespace morlavin::program {
// The program layer reads its own section as program::texts.
namespace texts = morlavin::texts::program;
}  // namespace morlavin::program
