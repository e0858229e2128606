#include "app/search_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <functional>

#include "app/history_combo.h"
#include "app/message_box.h"
#include "app/window_search_dialog.h"
#include "common/temp_dir.h"
#include "config/app_settings.h"

namespace {

template <class W>
W* child(QWidget* dialog, const char* name) {
    W* widget = dialog->findChild<W*>(QString::fromLatin1(name));
    if (!widget) ADD_FAILURE() << "no control " << name;
    return widget;
}

// Clicks beside the indicator, where a click always lands on the button.
void click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
}

QAbstractButton* labelled(QWidget* dialog, const char* label) {
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
        if (button->text() == QString::fromUtf8(label)) return button;
    ADD_FAILURE() << "no button " << label;
    return nullptr;
}

void clickOk(QWidget* dialog) {
    QTest::mouseClick(labelled(dialog, "OK"), Qt::LeftButton);
}

void typeInto(QWidget* dialog, const char* combo, const char* text) {
    QLineEdit* edit = child<HistoryCombo>(dialog, combo)->lineEdit();
    edit->setFocus();
    edit->clear();
    QTest::keyClicks(edit, QString::fromUtf8(text));
}

// Runs a modal dialog, letting drive() work on it once it shows; whatever
// drive() leaves open is cancelled so a failing test cannot hang.
bool runDriven(const std::function<bool()>& run, const std::function<void(QWidget*)>& drive) {
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog) return ADD_FAILURE() << "no modal dialog";
        dialog->activateWindow();  // typing goes where a user's would, completer included
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
        drive(dialog);
        if (dialog->isVisible()) static_cast<QDialog*>(dialog)->reject();
    });
    return run();
}

class SearchDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        setMessageBoxHook([this](BoxKind, const QString& text) {
            boxes.append(text);
            return true;
        });
    }
    void TearDown() override { setMessageBoxHook({}); }
    QStringList boxes;
    AppSettings settings;
};

TEST_F(SearchDialogTest, OptionsFollowTypeAndStemmingAsControlsChange) {
    settings.schType = AppSettings::kFuzzySearch;
    SearchDialog dialog(settings);
    dialog.show();
    struct Step {
        const char* click;
        bool ignoreWidth, stem, word, useIndex;
    } steps[] = {
        {nullptr, false, false, false, false},  // opened as fuzzy
        {"normal", true, true, true, true},    {"schStemF", true, true, false, true},
        {"regex", true, false, false, true},   {"normal", true, true, false, true},
        {"schStemF", true, true, true, true},  {"regex", true, false, true, true},
        {"fuzzy", false, false, false, false}, {"normal", true, true, true, true},
    };
    for (const Step& step : steps) {
        if (step.click) click(child<QAbstractButton>(&dialog, step.click));
        SCOPED_TRACE(step.click ? step.click : "open");
        EXPECT_EQ(child<QCheckBox>(&dialog, "schIZhF")->isEnabled(), step.ignoreWidth);
        EXPECT_EQ(child<QCheckBox>(&dialog, "schStemF")->isEnabled(), step.stem);
        EXPECT_EQ(child<QCheckBox>(&dialog, "schWord")->isEnabled(), step.word);
        EXPECT_EQ(child<QCheckBox>(&dialog, "schUseIX")->isEnabled(), step.useIndex);
        EXPECT_TRUE(child<QCheckBox>(&dialog, "schCount")->isEnabled());
        EXPECT_TRUE(child<QCheckBox>(&dialog, "schICaseF")->isEnabled());
    }
}

TEST_F(SearchDialogTest, EachLabelledControlStoresAndShowsItsOwnKey) {
    using Key = int32_t AppSettings::*;
    const struct {
        const char* label;
        Key key;
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
        AppSettings before;
        for (const auto& other : cases) before.*other.key = 0;
        before.schType = AppSettings::kNormalSearch;
        AppSettings after = before;
        SearchDialog dialog(after);
        dialog.show();
        click(labelled(&dialog, c.label));
        dialog.store();
        before.*c.key = c.value;
        for (const auto& other : cases) EXPECT_EQ(after.*other.key, before.*other.key) << c.label;
        SearchDialog reopened(after);
        EXPECT_TRUE(labelled(&reopened, c.label)->isChecked()) << c.label;
    }
}

TEST_F(SearchDialogTest, OkChecksStringThenFolderThenFileName) {
    const struct {
        const char *str, *dir, *file, *message;
    } cases[] = {
        {"", "", "", "検索文字列を指定してください"},
        {"a", "", "", "フォルダを指定してください"},
        {"a", "/d", "", "ファイル名を指定してください"},
        {"a", "/d", "*.txt", ""},
    };
    for (const auto& c : cases) {
        settings.schStr = c.str, settings.schDir = c.dir, settings.schFile = c.file;
        EXPECT_EQ(searchSettingsProblem(settings), QString::fromUtf8(c.message)) << c.str << c.dir;
    }
}

TEST_F(SearchDialogTest, RefusedOkKeepsWhatWasEnteredAndStoresIt) {
    settings.schFile = "*.txt";
    settings.schStrs = {"abcd"};  // typing a prefix of an entry must not complete it
    const bool start = runDriven([&] { return runSearchDialog(settings, nullptr); },
                                 [&](QWidget* dialog) {
                                     typeInto(dialog, "schDir", "/docs");
                                     clickOk(dialog);
                                     EXPECT_TRUE(dialog->isVisible());
                                     EXPECT_EQ(settings.schDir.view(), "/docs");
                                     EXPECT_EQ(child<HistoryCombo>(dialog, "schDir")->currentText(),
                                               QStringLiteral("/docs"));
                                     typeInto(dialog, "schStr", "abc");
                                     clickOk(dialog);
                                 });
    EXPECT_TRUE(start);
    EXPECT_EQ(boxes, QStringList{QString::fromUtf8("検索文字列を指定してください")});
    EXPECT_EQ(settings.schStrs, (LStrList{"abc", "", "abcd"}));
}

TEST_F(SearchDialogTest, OpeningSeedsEmptyHistoriesAndTakesPendingFolder) {
    settings.schFiles = {"*.txt", "*.md"};
    settings.pendingFolder = "/a;/b";
    QString shown;
    const bool start = runDriven(
        [&] { return runSearchDialog(settings, nullptr); },
        [&](QWidget* dialog) { shown = child<HistoryCombo>(dialog, "schDir")->currentText(); });
    EXPECT_FALSE(start);
    EXPECT_EQ(shown, QStringLiteral("/a;/b"));
    EXPECT_EQ(settings.schDir.view(), "/a;/b");
    EXPECT_TRUE(settings.pendingFolder.empty());
    EXPECT_EQ(settings.schStrs, LStrList{LStr()});
    EXPECT_EQ(settings.schFiles.size(), 2u);
}

TEST(HistoryTest, ConfirmedValueGoesFirstOnceAndListStopsAtHundred) {
    LStrList full;
    for (int i = 0; i < HistoryCombo::kMostEntries; ++i) full.emplace_back(std::to_string(i));
    const struct {
        LStrList list;
        const char* value;
        LStrList expectedHead;
        size_t size;
        const char* last;
    } cases[] = {
        {{"a", "b"}, "c", {"c", "a", "b"}, 3, "b"}, {{"a", "b", "c"}, "b", {"b", "a", "c"}, 3, "c"},
        {full, "new", {"new", "0"}, 100, "98"},     {full, "99", {"99", "0"}, 100, "98"},
        {full, "0", {"0", "1"}, 100, "99"},
    };
    for (auto c : cases) {
        pushHistory(c.list, c.value);
        EXPECT_TRUE(std::equal(c.expectedHead.begin(), c.expectedHead.end(), c.list.begin()))
            << c.value;
        EXPECT_EQ(c.list.size(), c.size) << c.value;
        EXPECT_EQ(c.list.back().view(), c.last) << c.value;
    }
}

TEST_F(SearchDialogTest, DroppedFoldersReplaceFolderFilesAloneDoNothing) {
    TempDir temp;
    temp.write("one/a.txt", "x");
    temp.write("two/b.txt", "x");
    const auto url = [&](const char* name) { return QUrl::fromLocalFile(temp.path(name).c_str()); };
    settings.schDir = "/old";
    SearchDialog dialog(settings);
    QLineEdit* edit = child<HistoryCombo>(&dialog, "schDir")->lineEdit();
    const struct {
        QWidget* target;
        QList<QUrl> urls;
        std::string expected;
    } cases[] = {
        {&dialog, {url("one/a.txt")}, "/old"},
        {&dialog,
         {url("one"), url("two/b.txt"), url("two")},
         temp.path("one") + ";" + temp.path("two")},
        {edit, {url("two")}, temp.path("two")},
        {edit, {url("one/a.txt")}, temp.path("two")},
    };
    for (const auto& c : cases) {
        QMimeData data;
        data.setUrls(c.urls);
        QDragEnterEvent enter({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(c.target, &enter);
        EXPECT_EQ(enter.isAccepted(), c.urls.size() > 1 || !c.urls[0].path().endsWith(".txt"));
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(c.target, &drop);
        EXPECT_EQ(settings.schDir.view(), c.expected);
        EXPECT_EQ(edit->text().toStdString(), c.expected);
    }
}

TEST_F(SearchDialogTest, WindowSearchRefusesEmptyStringAndShowsAgain) {
    const bool search = runDriven([&] { return runWindowSearchDialog(settings, nullptr); },
                                  [&](QWidget* dialog) {
                                      clickOk(dialog);
                                      EXPECT_TRUE(dialog->isVisible());
                                      typeInto(dialog, "schStr", "abc");
                                      click(child<QCheckBox>(dialog, "schICaseF"));
                                      clickOk(dialog);
                                  });
    EXPECT_TRUE(search);
    EXPECT_EQ(boxes, QStringList{QString::fromUtf8("検索文字列を指定してください")});
    EXPECT_EQ(settings.schStr.view(), "abc");
    EXPECT_EQ(settings.schICaseF, 0);
}

}  // namespace
