// Every sentence the program tells its user, in one place, grouped by where
// the user meets it, so that they can be read and reviewed as one voice.
// Tests and golden files hold them byte for byte: a change here is a change
// the user sees.
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
  return "改行を含む値は保存できません: " + std::string(key);
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
    case 2: return "ファイルが見つかりません";
    case 3: return "開くためのアプリケーションが見つかりません";
    case 4: return "アプリケーションで開けませんでした";
    default: return "xdg-open が終了コード " + std::to_string(exitStatus) + " で終了しました";
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
  return "テキストを読み込んでいます....  (" + std::to_string(line) + "行/" + std::to_string(total) +
         "行)";
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
// The batch converter's own messages, after "morlavin-convert: ". Its usage
// text stays beside its options.
namespace batch {

inline constexpr std::string_view kProgramPrefix = "morlavin-convert: ";
// Usage errors speak the messages language: Japanese in a Japanese locale,
// English otherwise.
inline std::string needsValue(std::string_view option, bool japanese) {
  return std::string(option) + (japanese ? " には値が必要です" : " needs a value");
}
inline std::string_view encodingNames(bool japanese) {
  return japanese ? "--encoding には auto、shift-jis、euc-jp、iso-2022-jp、utf-8、utf-16le、utf-16be "
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
inline constexpr std::string_view kUpgradeNotice = "バージョンアップのため、設定ファイルを更新します。";
inline constexpr std::string_view kBackupNotice =
    "バージョンが設定ファイルより古いので、バックアップを行います。";
inline constexpr std::string_view kSettingsUnreadable = "設定ファイルを読み込めません: ";
inline constexpr std::string_view kSettingsNotAllSaved = "設定ファイルに保存できなかった設定があります: ";
inline constexpr std::string_view kBackupFailed = "設定ファイルのバックアップを作成できません: ";
inline constexpr std::string_view kBackupUnnamed =
    "バージョンの数値が大きすぎて、バックアップの名前を決められません";
inline constexpr std::string_view kNoProgramDirectory =
    "プログラムのあるフォルダが見つかりません。ヘルプと ReadMe は開けません。";
inline constexpr std::string_view kNoSettingsFolder =
    "設定ファイルを置くフォルダが見つかりません。設定は保存されません。";

// Why one setting could not be stored, after its key's name.
inline constexpr std::string_view kValueHasLineBreak = "改行を含む値は保存できません";
inline constexpr std::string_view kValueNotShiftJis = "Shift-JISで表せない文字を含む値は保存できません";

// The main window: the translator button, the delete button and its status line.
inline constexpr std::string_view kNoTranslator = "翻訳ソフトを指定してください。";
inline constexpr std::string_view kPageDeleted = "変換したHTMLファイルを消去しました.";
inline constexpr std::string_view kPageNotDeleted = "HTMLファイルを消去できませんでした。";
inline constexpr std::string_view kPageChanged = "変換後に変更されたため、HTMLファイルを削除しませんでした: ";

// The about box, before the version.
inline constexpr std::string_view kAboutName = "Morlavin Ver ";

// The preferences dialog's preview button.
inline constexpr std::string_view kPreviewFailed = "プレビューを作成できません: ";
inline constexpr std::string_view kPreviewNotOpened = "プレビューを作成しましたが、開けませんでした: ";

}  // namespace program

}  // namespace morlavin::texts

namespace morlavin::program {
// The program layer reads its own section as program::texts.
namespace texts = morlavin::texts::program;
}  // namespace morlavin::program
