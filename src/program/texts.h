// Every sentence the settings file and the program's own decisions show the
// user, grouped by where it appears, so that they can be read and reviewed in
// one place. A text ending in ": " is followed by a path or a reason.
#pragma once

#include <string_view>

namespace morlavin::program::texts {

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

}  // namespace morlavin::program::texts
