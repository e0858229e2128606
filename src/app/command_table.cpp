#include "app/command_table.h"

#include <array>

namespace {

constexpr const char* kFontHelpSpc = "[オプション] で指定した部分に使用するフォントを設定します";
constexpr const char* kFuzzyDiffHelp =
    "ファジー検索で、検索文字列とヒットしたテキストの差異を示します";

constexpr std::array kCommands = {
    Command{102, 'O', true, "Ctrl+O", "オプション", "各種の設定を行います", "preferences-system"},
    Command{103, 'L', false, "", "古い索引を削除",
            "対応する原ファイルより古い索引データを削除します", nullptr},
    Command{104, 'D', false, "", "すべての索引ファイルを削除", "すべての索引ファイルを削除します",
            nullptr},
    Command{105, 'X', false, "Alt+F4", "終了", "Quillfind アプリケーションを終了します", nullptr},
    Command{111, 'S', true, "", "標準", "メイン画面のフォントを設定します", nullptr},
    Command{112, 'T', true, "", "テキスト", "検出したテキストを表示するフォントを設定します",
            nullptr},
    Command{113, 'H', true, "", "ヒット範囲", "ヒットしたテキストを表示するフォントを設定します",
            nullptr},
    Command{114, 'I', true, "", "挿入テキスト", kFuzzyDiffHelp, nullptr},
    Command{115, 'D', true, "", "削除テキスト", kFuzzyDiffHelp, nullptr},
    Command{116, 'M', true, "", "エラー", "エラー/警告メッセージに使用するフォントを設定します",
            nullptr},
    Command{120, '0', true, "", "F0", kFontHelpSpc, nullptr},
    Command{121, '1', true, "", "F1", kFontHelpSpc, nullptr},
    Command{122, '2', true, "", "F2", kFontHelpSpc, nullptr},
    Command{123, '3', true, "", "F3", kFontHelpSpc, nullptr},
    Command{201, 'F', true, "Ctrl+F", "検索", "複数のファイルを横断検索します", "edit-find"},
    Command{203, 'O', false, "Ctrl+Q", "アプリケーションでファイルを開く",
            "カーソル位置に表示された名前のファイルを既定のアプリケーションで開きます",
            "document-open"},
    Command{204, 'E', false, "Esc/Enter", "中止", "処理を中止します", "process-stop"},
    Command{211, 'S', true, "Ctrl+S", "ウィンドウ内検索",
            "Quillfindのメイン ウィンドウ内を検索します", "edit-find-replace"},
    Command{212, 'N', false, "Ctrl+N", "下へ検索",
            "前回の検索文字列をメイン画面内で下方に検索します", "go-down"},
    Command{213, 'P', false, "Ctrl+P", "上へ検索",
            "前回の検索文字列をメイン画面内で上方に検索します", "go-up"},
    Command{220, 'R', false, "Ctrl+↑", "前の検索結果", "前のメイン画面に切り替えます",
            "go-previous"},
    Command{221, 'E', false, "Ctrl+↓", "次の検索結果", "次のメイン画面に切り替えます", "go-next"},
    Command{301, 'Y', false, "Ctrl+X", "切り取り",
            "メイン画面の選択範囲をクリップボードへ切り取ります", nullptr},
    Command{302, 'C', false, "Ctrl+C", "コピー",
            "メイン画面の選択範囲をクリップボードへコピーします", nullptr},
    Command{303, 'V', false, "Ctrl+V", "貼り付け", "クリップボードの内容をメイン画面に貼り付けます",
            nullptr},
    Command{304, 'A', false, "Ctrl+A", "すべて選択", "メイン画面のすべてのテキストを選択します",
            nullptr},
    Command{401, 'H', false, "F1", "オンライン ヘルプ", "オンライン ヘルプを表示します", nullptr},
    Command{402, 'H', false, "", "ホームページ", "インターネット上のホームページを表示します",
            nullptr},
    Command{404, 'A', true, "", "バージョン情報", "このアプリケーションのバージョンを表示します",
            nullptr},
    Command{501, '1', false, "", "デバッグ", "デバッグ操作", nullptr},
};

constexpr int kFileMenu[] = {201, 204, 203, 0, kSubmenuFonts, 102, 0, 103, 104, 0, 105};
constexpr int kFontMenu[] = {111, 112, 113, 114, 115, 116, 0, 120, 121, 122, 123};
constexpr int kEditMenu[] = {211, 212, 213, 0, 221, 220, 0, 301, 302, 303, 304};
constexpr int kHelpMenu[] = {401, 402, 404};
constexpr int kToolbar[] = {0, 201, 204, 203, 0, 211, 212, 213, 0, 221, 220, 0, 102};

constexpr std::array kMenus = {
    MenuLayout{"ファイル(&F)", kFileMenu},
    MenuLayout{"編集(&E)", kEditMenu},
    MenuLayout{"ヘルプ(&H)", kHelpMenu},
};
constexpr MenuLayout kFonts{"フォントの設定(&F)", kFontMenu};

}  // namespace

std::span<const Command> commandTable() {
    return kCommands;
}

const Command* findCommand(int id) {
    for (const Command& command : kCommands)
        if (command.id == id) return &command;
    return nullptr;
}

std::span<const MenuLayout> menuLayouts() {
    return kMenus;
}
const MenuLayout& fontMenuLayout() {
    return kFonts;
}
std::span<const int> toolbarLayout() {
    return kToolbar;
}
