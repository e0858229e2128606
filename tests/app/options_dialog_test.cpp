#include "app/options_dialog.h"

#include <gtest/gtest.h>

#include <QAbstractSpinBox>
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
#include <string>
#include <vector>

#include "app/message_box.h"
#include "app/option_hooks.h"
#include "common/capture_sink.h"
#include "config/app_settings.h"

namespace {

// Types into a control as a user would; the controls are found by name.
void enter(QWidget* dialog, const char* name, const char* utf8) {
    const QString text = QString::fromUtf8(utf8);
    QWidget* control = dialog->findChild<QWidget*>(QString::fromLatin1(name));
    ASSERT_NE(control, nullptr) << name;
    if (auto* lines = qobject_cast<QPlainTextEdit*>(control)) return lines->setPlainText(text);
    if (auto* combo = qobject_cast<QComboBox*>(control)) return combo->setEditText(text);
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(control)) spin->selectAll();
    if (auto* edit = qobject_cast<QLineEdit*>(control)) edit->selectAll();
    QTest::keyClicks(control, text);
}

QString shown(QWidget* dialog, const char* name) {
    QWidget* control = dialog->findChild<QWidget*>(QString::fromLatin1(name));
    for (const char* property : {"plainText", "currentText", "text"})
        if (control->property(property).isValid()) return control->property(property).toString();
    return {};
}

template <class W>
W* child(QWidget* dialog, const char* name) {
    return dialog->findChild<W*>(QString::fromLatin1(name));
}

void press(QWidget* dialog, QDialogButtonBox::StandardButton which) {
    dialog->findChild<QDialogButtonBox*>()->button(which)->click();
}

class OptionsDialogTest : public ::testing::Test {
protected:
    OptionsDialogTest() {
        reset();
        hooks = makeOptionHooks([this](std::string_view folder) { deleted.emplace_back(folder); });
        setMessageBoxHook([this](BoxKind kind, const QString& text) {
            if (kind == BoxKind::Message) boxes.push_back(text);
            return answer;
        });
    }
    ~OptionsDialogTest() override { setMessageBoxHook({}); }
    void reset() {
        settings = AppSettings();
        settings.recSeparEsc = "\\n";
        settings.ixfDir = "/ix/";
        deleted.clear();
        boxes.clear();
        sink.clear();
    }

    AppSettings settings;
    OptionHooks hooks;
    CaptureSink sink;
    std::vector<std::string> deleted;
    QStringList boxes;
    bool answer = true;
};

TEST_F(OptionsDialogTest, OkStoresWhatPassesAndStaysOpenWithTheTypedValuesOnRefusal) {
    const struct {
        const char* control;
        const char* typed;
        bool answer;
        bool accepted;
        const char* box;  // part of the one message box, "" for none
        bool reported;    // by a parser, through the message service
        bool deletes;
        LStr OptionTexts::*text;
        const char* stored;
    } cases[] = {
        {"minRate", "50", true, false, "一致率下限値は 60 以上", false, false,
         &OptionTexts::recSeparEsc, "\\n"},
        {"recSeparEsc", "\\r\\n", false, false, "", false, false, &OptionTexts::recSeparEsc, "\\n"},
        {"recSeparEsc", "\\r\\n", true, true, "", false, true, &OptionTexts::recSeparEsc, "\\r\\n"},
        {"tabSizes", "4,x", true, false, "", true, false, &OptionTexts::tabSizes, ""},
        {"tabSizes", "4,8", true, true, "", false, false, &OptionTexts::tabSizes, "4,8"},
        {"dspPreReplace", "abc", true, false, "", true, false, &OptionTexts::dspPreReplace, ""},
        {"dspDupReplace", "a=b\nc=d", true, true, "", false, false, &OptionTexts::dspDupReplace,
         "a=b\r\nc=d"},
        {"dspFontSpec", "x\n(a", true, false, "", true, false, &OptionTexts::dspFontSpec, ""},
        {"schAreaInRec", "(a", true, false, "", true, false, &OptionTexts::schAreaInRec, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.control) + " = " + c.typed);
        reset();
        answer = c.answer;
        OptionsDialog dialog(settings, hooks, nullptr);
        dialog.show();
        enter(&dialog, c.control, c.typed);
        const QString typed = shown(&dialog, c.control);
        press(&dialog, QDialogButtonBox::Ok);
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.accepted);
        EXPECT_EQ(shown(&dialog, c.control), typed);
        EXPECT_EQ(!sink.messages().empty(), c.reported) << sink.allText();
        EXPECT_EQ(boxes.size(), *c.box ? 1 : 0);
        EXPECT_TRUE(boxes.value(0).contains(QString::fromUtf8(c.box)));
        EXPECT_EQ(deleted,
                  c.deletes ? std::vector<std::string>{"/ix/"} : std::vector<std::string>{});
        EXPECT_EQ(optionTextsOf(settings).*c.text, LStr(c.stored));
    }
}

TEST_F(OptionsDialogTest, ARefusalDoesNotRefuseTheNextOk) {
    OptionsDialog dialog(settings, hooks, nullptr);
    dialog.show();
    enter(&dialog, "tabSizes", "4,x");
    press(&dialog, QDialogButtonBox::Ok);
    enter(&dialog, "tabSizes", "2");
    press(&dialog, QDialogButtonBox::Ok);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(settings.tabSizes2, IntList{2});
}

// Through the modal loop: cancel stores no working text but the page last
// shown; the next opening starts there, and its OK stores the bound controls.
TEST_F(OptionsDialogTest, CancelKeepsOnlyThePageAndOkStoresTheBoundControls) {
    const OptionTexts before = optionTextsOf(settings);
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        child<QTabWidget>(dialog, "pages")->setCurrentIndex(2);
        enter(dialog, "nonTextExt", "pdf");
        enter(dialog, "ixfDir", "/elsewhere/");
        press(dialog, QDialogButtonBox::Cancel);
    });
    EXPECT_FALSE(runOptionsDialog(settings, hooks, nullptr));
    EXPECT_EQ(settings.psLastActive, 2);
    EXPECT_EQ(settings.nonTextExt, before.nonTextExt);
    EXPECT_EQ(settings.ixfDir, before.ixfDir);

    settings.searchOnFocus = 2;
    int shownPage = -1;
    QTimer::singleShot(0, [&shownPage] {
        QWidget* dialog = QApplication::activeModalWidget();
        shownPage = child<QTabWidget>(dialog, "pages")->currentIndex();
        child<QComboBox>(dialog, "ignoreSameRec")->setCurrentIndex(2);
        child<QCheckBox>(dialog, "dspAutoScroll")->setChecked(false);
        child<QCheckBox>(dialog, "autoDetectCharset")->setChecked(false);
        child<QSpinBox>(dialog, "searchThreads")->setValue(3);
        enter(dialog, "fldSeparEsc", ",");
        press(dialog, QDialogButtonBox::Ok);
    });
    EXPECT_TRUE(runOptionsDialog(settings, hooks, nullptr));
    EXPECT_EQ(shownPage, 2);
    EXPECT_EQ(settings.ignoreSameRec, 2);
    EXPECT_EQ(settings.searchOnFocus, 2);
    EXPECT_EQ(settings.dspAutoScroll, 0);
    EXPECT_EQ(settings.autoDetectCharset, 0);
    EXPECT_EQ(settings.searchThreads, 3);
    EXPECT_EQ(settings.fldSeparEsc, LStr(","));
}

}  // namespace
