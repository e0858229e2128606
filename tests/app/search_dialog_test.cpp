#include "app/search_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/history_combo.h"
#include "app/message_box.h"
#include "app/window_search_dialog.h"
#include "common/temp_dir.h"
#include "config/app_settings.h"

namespace {

QAbstractButton* button(QWidget* dialog, const char* nameOrLabel) {
    for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>())
        if (b->objectName() == nameOrLabel || b->text() == QString::fromUtf8(nameOrLabel)) return b;
    ADD_FAILURE() << "no button " << nameOrLabel;
    return nullptr;
}

// At the indicator's side, where a click always lands on the button.
void click(QWidget* dialog, const char* nameOrLabel) {
    QAbstractButton* b = button(dialog, nameOrLabel);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(4, b->height() / 2));
}

QLineEdit* edit(QWidget* dialog, const char* combo) {
    return dialog->findChild<HistoryCombo*>(combo)->lineEdit();
}

void typeInto(QWidget* dialog, const char* combo, const char* text) {
    edit(dialog, combo)->setFocus();
    edit(dialog, combo)->clear();
    QTest::keyClicks(edit(dialog, combo), text);
}

// Runs a modal dialog and lets drive() work on it, as the active window so
// typing meets what a user's would; what drive() leaves open is cancelled.
bool runDriven(const std::function<bool()>& run, const std::function<void(QWidget*)>& drive) {
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog) return ADD_FAILURE() << "no modal dialog";
        dialog->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
        drive(dialog);
        if (dialog->isVisible()) static_cast<QDialog*>(dialog)->reject();
    });
    return run();
}

class SearchDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        setMessageBoxHook(
            [this](BoxKind, const QString& text) { return boxes.append(text), true; });
    }
    void TearDown() override { setMessageBoxHook({}); }
    QStringList boxes;
    AppSettings settings;
};

TEST_F(SearchDialogTest, OptionsFollowTypeAndStemmingAsControlsChange) {
    settings.schType = AppSettings::kFuzzySearch;
    SearchDialog dialog(settings);
    dialog.show();
    const struct {
        const char* click;
        bool ignoreWidth, stem, word, useIndex;
    } steps[] = {
        {"", 0, 0, 0, 0},      {"normal", 1, 1, 1, 1}, {"schStemF", 1, 1, 0, 1},
        {"regex", 1, 0, 0, 1}, {"normal", 1, 1, 0, 1}, {"schStemF", 1, 1, 1, 1},
        {"regex", 1, 0, 1, 1}, {"fuzzy", 0, 0, 0, 0},  {"normal", 1, 1, 1, 1},
    };
    for (const auto& s : steps) {
        if (*s.click) click(&dialog, s.click);
        const bool enabled[] = {s.ignoreWidth, s.stem, s.word, s.useIndex, true, true};
        const char* names[] = {"schIZhF",  "schStemF", "schWord",
                               "schUseIX", "schCount", "schICaseF"};
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(button(&dialog, names[i])->isEnabled(), enabled[i]) << s.click << names[i];
    }
}

TEST_F(SearchDialogTest, EachLabelledControlStoresAndShowsItsOwnKey) {
    const struct {
        const char* label;
        int32_t AppSettings::*key;
        int32_t value;
    } cases[] = {
        {"大文字と小文字を区別しない(&C)", &AppSettings::schICaseF, 1},
        {"全角と半角を区別しない(&Z)", &AppSettings::schIZhF, 1},
        {"記号・空白・語尾の違いを無視(&Y)", &AppSettings::schStemF, 1},
        {"単語のみ(&W)", &AppSettings::schWord, 1},
        {"フィールドに完全一致(&M)", &AppSettings::schFieldMchF, 1},
        {"カウントのみ(&T)", &AppSettings::schCount, 1},
        {"サブフォルダを含める(&U)", &AppSettings::schSubDir, 1},
        {"索引を使用(&X)", &AppSettings::schUseIX, 1},
        {"正規(&R)", &AppSettings::schType, AppSettings::kRegexSearch},
        {"ファジー(&F)", &AppSettings::schType, AppSettings::kFuzzySearch},
    };
    for (const auto& c : cases) {  // one key changed at a time, so a crossed binding shows
        AppSettings expected;
        for (const auto& other : cases) expected.*other.key = 0;
        expected.schType = AppSettings::kNormalSearch;
        AppSettings stored = expected;
        SearchDialog dialog(stored);
        dialog.show();
        click(&dialog, c.label);
        dialog.store();
        expected.*c.key = c.value;
        for (const auto& other : cases)
            EXPECT_EQ(stored.*other.key, expected.*other.key) << c.label;
        SearchDialog reopened(stored);
        EXPECT_TRUE(button(&reopened, c.label)->isChecked()) << c.label;
    }
}

TEST_F(SearchDialogTest, OkChecksInOrderAndKeepsWhatWasEntered) {
    settings.pendingFolder = "/dropped";
    settings.schStrs = {"abcd"};  // a typed prefix of an entry must stay as typed
    const bool start = runDriven([&] { return runSearchDialog(settings, nullptr); },
                                 [&](QWidget* dialog) {
                                     EXPECT_EQ(edit(dialog, "schDir")->text(), "/dropped");
                                     click(dialog, "OK");
                                     typeInto(dialog, "schStr", "abc");
                                     typeInto(dialog, "schDir", "");
                                     click(dialog, "OK");
                                     EXPECT_EQ(edit(dialog, "schStr")->text(), "abc");
                                     typeInto(dialog, "schDir", "/docs");
                                     click(dialog, "OK");
                                     typeInto(dialog, "schFile", "*.md");
                                     QTest::keyClick(edit(dialog, "schFile"), Qt::Key_Return);
                                 });
    EXPECT_TRUE(start);
    EXPECT_EQ(boxes.join('|'), QString::fromUtf8("検索文字列を指定してください|"
                                                 "フォルダを指定してください|"
                                                 "ファイル名を指定してください"));
    EXPECT_TRUE(settings.pendingFolder.empty());
    EXPECT_EQ(settings.schStrs, (LStrList{"abc", "", "abcd"}));
    EXPECT_EQ(settings.schDir.view(), "/docs");
}

// Moving to the front and dropping duplicates show in the dialog tests above.
TEST(HistoryTest, FullListStaysAtHundredDroppingTheOldestOnlyForNewValues) {
    const struct { const char *value, *last; } cases[] = {{"new", "98"}, {"50", "99"}};
    for (const auto& c : cases) {
        LStrList list;
        for (int i = 0; i < HistoryCombo::kMostEntries; ++i) list.emplace_back(std::to_string(i));
        pushHistory(list, c.value);
        EXPECT_EQ(list.size(), size_t(HistoryCombo::kMostEntries));
        EXPECT_EQ(list.front().view(), c.value);
        EXPECT_EQ(list.back().view(), c.last) << c.value;
    }
}

TEST_F(SearchDialogTest, DroppedFoldersReplaceFolderFilesAloneDoNothing) {
    TempDir temp;
    temp.write("one/a.txt", "x");
    temp.write("two/b.txt", "x");
    const auto url = [&](const char* name) { return QUrl::fromLocalFile(temp.path(name).c_str()); };
    settings.schDir = "/old";
    SearchDialog dialog(settings);
    const std::string both = temp.path("one") + ";" + temp.path("two");
    const struct {
        QWidget* target;  // the dialog, or the folder edit that would take text
        QList<QUrl> urls;
        bool taken;
        std::string folder;
    } cases[] = {
        {&dialog, {url("one/a.txt")}, false, "/old"},
        {&dialog, {url("one"), url("two/b.txt"), url("two")}, true, both},
        {edit(&dialog, "schDir"), {url("two")}, true, temp.path("two")},
    };
    for (const auto& c : cases) {
        QMimeData data;
        data.setUrls(c.urls);
        data.setText(c.urls[0].toString());  // as file managers offer it, which an edit takes
        QDragEnterEvent enter({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(c.target, &enter);
        EXPECT_EQ(enter.isAccepted(), c.taken) << c.folder;
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(c.target, &drop);
        EXPECT_EQ(settings.schDir.view(), c.folder);
        EXPECT_EQ(edit(&dialog, "schDir")->text().toStdString(), c.folder);
    }
}

TEST_F(SearchDialogTest, WindowSearchRefusesEmptyStringAndShowsAgain) {
    const bool search = runDriven([&] { return runWindowSearchDialog(settings, nullptr); },
                                  [&](QWidget* dialog) {
                                      click(dialog, "OK");
                                      typeInto(dialog, "schStr", "abc");
                                      click(dialog, "schICaseF");
                                      click(dialog, "OK");
                                  });
    EXPECT_TRUE(search);
    EXPECT_EQ(boxes, QStringList{QString::fromUtf8("検索文字列を指定してください")});
    EXPECT_EQ(settings.schStr.view(), "abc");
    EXPECT_EQ(settings.schICaseF, 0);
}

}  // namespace
