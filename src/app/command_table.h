// The command table: one row per command of the main window. The menus, the
// toolbar and the key help are all built from it.
#pragma once
#include <span>

enum CommandId : int {
    kCmdOptions = 102,
    kCmdDeleteOldIndex = 103,
    kCmdDeleteAllIndex = 104,
    kCmdExit = 105,
    kCmdFontStd = 111,  // 111 to 116: stdFont ... msgFont
    kCmdFontMsg = 116,
    kCmdFontSpc0 = 120,  // 120 to 123: spcFont0 ... spcFont3
    kCmdFontSpc3 = 123,
    kCmdSearch = 201,
    kCmdOpenHit = 203,
    kCmdCancel = 204,
    kCmdWindowSearch = 211,
    kCmdFindNext = 212,
    kCmdFindPrevious = 213,
    kCmdPreviousPage = 220,
    kCmdNextPage = 221,
    kCmdCut = 301,
    kCmdCopy = 302,
    kCmdPaste = 303,
    kCmdSelectAll = 304,
    kCmdHelp = 401,
    kCmdHomePage = 402,
    kCmdAbout = 404,
    kCmdDebug = 501,
};

struct Command {
    int id;
    char letter;          // access letter of the menu item
    bool opensDialog;     // the label gets "..."
    const char* keyText;  // shown beside the label; "" when none
    const char* label;
    const char* description;  // help text on hover
    const char* icon;         // theme icon name for the toolbar; null when none
};

std::span<const Command> commandTable();
// The row of an id; null when the table has none.
const Command* findCommand(int id);

// Menus and toolbar: ids in order; 0 is a separator, and kSubmenuFonts
// stands for the font submenu inside the file menu.
inline constexpr int kSubmenuFonts = -1;
struct MenuLayout {
    const char* title;
    std::span<const int> items;
};
std::span<const MenuLayout> menuLayouts();
const MenuLayout& fontMenuLayout();
std::span<const int> toolbarLayout();
