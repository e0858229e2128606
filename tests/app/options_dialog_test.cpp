#include "app/options_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "app/message_box.h"
#include "app/option_hooks.h"
#include "common/capture_sink.h"
#include "config/app_settings.h"

namespace {

template <class W>
W* child(QWidget* dialog, const char* name) {
    W* widget = dialog->findChild<W*>(QString::fromLatin1(name));
    if (!widget) ADD_FAILURE() << "no widget " << name;
    return widget;
}

void typeInto(QWidget* dialog, const char* name, const char* utf8) {
    QLineEdit* edit = child<QLineEdit>(dialog, name);
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromUtf8(utf8));
}

void setEditText(QWidget* dialog, const char* name, const char* utf8) {
    child<QComboBox>(dialog, name)->setEditText(QString::fromUtf8(utf8));
}

void press(QWidget* dialog, QDialogButtonBox::StandardButton which) {
    dialog->findChild<QDialogButtonBox*>()->button(which)->click();
}

OptionsDialog* openOptionsDialog() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<OptionsDialog*>(widget);
        if (dialog && dialog->isVisible()) return dialog;
    }
    return nullptr;
}

class OptionsDialogTest : public ::testing::Test {
protected:
    OptionsDialogTest() {
        settings.recSeparEsc = "\\n";
        settings.ixfDir = "/ix/";
        hooks = makeOptionHooks([this](std::string_view folder) { deleted.emplace_back(folder); });
        setMessageBoxHook([this](BoxKind kind, const QString& text) {
            (kind == BoxKind::Question ? questions : boxes).push_back(text);
            return answer;
        });
    }
    ~OptionsDialogTest() override { setMessageBoxHook({}); }

    AppSettings settings;
    OptionHooks hooks;
    CaptureSink sink;
    std::vector<std::string> deleted;
    QStringList boxes;
    QStringList questions;
    bool answer = true;
};

struct OkCase {
    const char* name;
    std::function<void(QWidget*)> type;
    bool answer;
    bool accepted;
    const char* boxHolds;  // a message box, or "" for none
    bool parserReported;
    std::function<void(const AppSettings&, const std::vector<std::string>& deleted)> check;
};

TEST_F(OptionsDialogTest, OkStoresWhatPassesAndStaysOpenWithTheTypedValuesOnRefusal) {
    const IntList noTabs;
    const OkCase cases[] = {
        {"rate below 60",
         [](QWidget* d) {
             auto* rate = child<QSpinBox>(d, "minRate");
             rate->selectAll();
             QTest::keyClicks(rate, "50");
         },
         true, false, "一致率下限値は 60 以上", false,
         [](const AppSettings& s, auto&) { EXPECT_EQ(s.minRate, 50); }},
        {"separator change declined",
         [](QWidget* d) {
             setEditText(d, "recSeparEsc", "\\r\\n");
             typeInto(d, "tabSizes", "4,8");
         },
         false, false, "", false,
         [&](const AppSettings& s, auto& deleted) {
             EXPECT_EQ(s.recSeparEsc, LStr("\\n"));
             EXPECT_EQ(s.tabSizes2, noTabs);
             EXPECT_TRUE(deleted.empty());
         }},
        {"separator change accepted", [](QWidget* d) { setEditText(d, "recSeparEsc", "\\r\\n"); },
         true, true, "", false,
         [](const AppSettings& s, auto& deleted) {
             EXPECT_EQ(s.recSeparEsc, LStr("\\r\\n"));
             EXPECT_EQ(s.recSeparEscs.front(), LStr("\\r\\n"));
             EXPECT_EQ(deleted, std::vector<std::string>{"/ix/"});
         }},
        {"tab sizes that do not parse", [](QWidget* d) { typeInto(d, "tabSizes", "4,x"); }, true,
         false, "", true, [&](const AppSettings& s, auto&) { EXPECT_EQ(s.tabSizes2, noTabs); }},
        {"tab sizes", [](QWidget* d) { typeInto(d, "tabSizes", "4,8"); }, true, true, "", false,
         [](const AppSettings& s, auto&) {
             EXPECT_EQ(s.tabSizes2, (IntList{4, 8}));
         }},
        {"replacement without =",
         [](QWidget* d) { child<QPlainTextEdit>(d, "dspPreReplace")->setPlainText("abc"); }, true,
         false, "", true,
         [](const AppSettings& s, auto&) { EXPECT_TRUE(s.dspPreReplace.empty()); }},
        {"replacement lines",
         [](QWidget* d) { child<QPlainTextEdit>(d, "dspDupReplace")->setPlainText("a=b\nc=d"); },
         true, true, "", false,
         [](const AppSettings& s, auto&) { EXPECT_EQ(s.dspDupReplace, LStr("a=b\r\nc=d")); }},
        {"defective font pattern",
         [](QWidget* d) { child<QPlainTextEdit>(d, "dspFontSpec")->setPlainText("x\n(a"); }, true,
         false, "", true, [](const AppSettings& s, auto&) { EXPECT_TRUE(s.dspFontSpec.empty()); }},
        {"defective search area", [](QWidget* d) { setEditText(d, "schAreaInRec", "(a"); }, true,
         false, "", true, [](const AppSettings& s, auto&) { EXPECT_TRUE(s.schAreaInRec.empty()); }},
    };
    for (const OkCase& c : cases) {
        SCOPED_TRACE(c.name);
        AppSettings fresh;
        fresh.recSeparEsc = settings.recSeparEsc;
        fresh.ixfDir = settings.ixfDir;
        settings = fresh;
        deleted.clear();
        boxes.clear();
        sink.clear();
        answer = c.answer;
        OptionsDialog dialog(settings, hooks, nullptr);
        dialog.show();
        c.type(&dialog);
        const QString typedRate = dialog.findChild<QSpinBox*>("minRate")->text();
        const QString typedTabs = child<QLineEdit>(&dialog, "tabSizes")->text();
        press(&dialog, QDialogButtonBox::Ok);
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.accepted);
        EXPECT_EQ(dialog.isVisible(), !c.accepted);
        EXPECT_EQ(!sink.messages().empty(), c.parserReported) << sink.allText();
        if (*c.boxHolds) {
            ASSERT_EQ(boxes.size(), 1);
            EXPECT_TRUE(boxes[0].contains(QString::fromUtf8(c.boxHolds))) << boxes[0].toStdString();
        } else {
            EXPECT_TRUE(boxes.isEmpty());
        }
        c.check(settings, deleted);
        EXPECT_EQ(dialog.findChild<QSpinBox*>("minRate")->text(), typedRate);
        EXPECT_EQ(child<QLineEdit>(&dialog, "tabSizes")->text(), typedTabs);
    }
}

TEST_F(OptionsDialogTest, ARefusalDoesNotRefuseTheNextOk) {
    OptionsDialog dialog(settings, hooks, nullptr);
    dialog.show();
    typeInto(&dialog, "tabSizes", "4,x");
    press(&dialog, QDialogButtonBox::Ok);
    ASSERT_TRUE(dialog.isVisible());
    typeInto(&dialog, "tabSizes", "2");
    press(&dialog, QDialogButtonBox::Ok);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(settings.tabSizes2, IntList{2});
}

TEST_F(OptionsDialogTest, BoundControlsShowAndStoreTheirSettings) {
    settings.ignoreSameRec = 1;
    settings.searchOnFocus = 2;
    settings.dspAutoScroll = 1;
    settings.keepCnvTxt = 0;
    OptionsDialog dialog(settings, hooks, nullptr);
    EXPECT_EQ(child<QComboBox>(&dialog, "ignoreSameRec")->currentIndex(), 1);
    EXPECT_EQ(child<QComboBox>(&dialog, "searchOnFocus")->currentIndex(), 2);
    child<QComboBox>(&dialog, "ignoreSameRec")->setCurrentIndex(2);
    child<QCheckBox>(&dialog, "dspAutoScroll")->setChecked(false);
    child<QCheckBox>(&dialog, "keepCnvTxt")->setChecked(true);
    setEditText(&dialog, "fldSeparEsc", ",");
    typeInto(&dialog, "appToUse", "/usr/bin/mousepad");
    press(&dialog, QDialogButtonBox::Ok);
    EXPECT_EQ(settings.ignoreSameRec, 2);
    EXPECT_EQ(settings.searchOnFocus, 2);
    EXPECT_EQ(settings.dspAutoScroll, 0);
    EXPECT_EQ(settings.keepCnvTxt, 1);
    EXPECT_EQ(settings.fldSeparEsc, LStr(","));
    EXPECT_EQ(settings.appToUse, LStr("/usr/bin/mousepad"));
}

TEST_F(OptionsDialogTest, MatchRateArrowsKeepToTheAllowedRange) {
    const struct {
        int from;
        int steps;
        int to;
    } cases[] = {{50, 1, 60}, {61, -5, 60}, {99, 5, 100}, {75, 1, 76}};
    OptionsDialog dialog(settings, hooks, nullptr);
    auto* rate = dialog.findChild<QSpinBox*>("minRate");
    for (const auto& c : cases) {
        rate->setValue(c.from);
        rate->stepBy(c.steps);
        EXPECT_EQ(rate->value(), c.to) << c.from << " by " << c.steps;
    }
}

// Through the modal loop: cancel stores no working text but the page last
// shown, and the next opening starts there.
TEST_F(OptionsDialogTest, CancelKeepsOnlyThePageAndTheNextOpeningStartsThere) {
    const LStr nonTextBefore = settings.nonTextExt;
    QTimer::singleShot(0, [] {
        OptionsDialog* dialog = openOptionsDialog();
        ASSERT_NE(dialog, nullptr);
        child<QTabWidget>(dialog, "pages")->setCurrentIndex(2);
        typeInto(dialog, "nonTextExt", "pdf");
        typeInto(dialog, "ixfDir", "/elsewhere/");
        press(dialog, QDialogButtonBox::Cancel);
    });
    EXPECT_FALSE(runOptionsDialog(settings, hooks, nullptr));
    EXPECT_EQ(settings.psLastActive, 2);
    EXPECT_EQ(settings.nonTextExt, nonTextBefore);
    EXPECT_EQ(settings.ixfDir, LStr("/ix/"));
    EXPECT_TRUE(questions.isEmpty());

    int shownPage = -1;
    QTimer::singleShot(0, [&shownPage] {
        OptionsDialog* dialog = openOptionsDialog();
        ASSERT_NE(dialog, nullptr);
        shownPage = child<QTabWidget>(dialog, "pages")->currentIndex();
        press(dialog, QDialogButtonBox::Ok);
    });
    EXPECT_TRUE(runOptionsDialog(settings, hooks, nullptr));
    EXPECT_EQ(shownPage, 2);
}

}  // namespace
