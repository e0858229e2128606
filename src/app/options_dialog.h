// The options dialog: three pages of settings that are not part of a single
// search. runOptionsDialog shows it at page psLastActive until the user
// cancels or the checks of OK pass (each refusal shows its message and the
// dialog again with the values entered).
#pragma once
#include <QDialog>

#include "config/option_checks.h"

struct AppSettings;
class QTabWidget;
class QComboBox;
class QSpinBox;
class QLineEdit;
class QCheckBox;
class QPlainTextEdit;
class HistoryCombo;

// True when OK passed (settings stored); psLastActive is stored either way.
bool runOptionsDialog(AppSettings& settings, const OptionHooks& hooks, QWidget* parent);

// The dialog itself. Its OK runs the checks and closes only when they pass;
// a refusal leaves it open with the values typed, as a fresh open would.
class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    OptionsDialog(AppSettings& settings, const OptionHooks& hooks, QWidget* parent = nullptr);
    ~OptionsDialog() override;

    void accept() override;
    void done(int result) override;

private:
    QWidget* makeSearchPage();
    QWidget* makeDisplayPage();
    QWidget* makeSystemPage();
    void storeBoundControls();
    OptionTexts typedTexts() const;
    void browseForApplication();

    AppSettings& settings_;
    OptionHooks hooks_;
    OptionTexts working_;
    int countAtOpen_ = 0;

    QTabWidget* pages_ = nullptr;
    QComboBox* ignoreSameRec_ = nullptr;
    QComboBox* searchOnFocus_ = nullptr;
    HistoryCombo* recSeparEsc_ = nullptr;
    HistoryCombo* fldSeparEsc_ = nullptr;
    HistoryCombo* schAreaInRec_ = nullptr;
    QSpinBox* minRate_ = nullptr;
    QSpinBox* searchThreads_ = nullptr;
    QLineEdit* dspSeparEsc_ = nullptr;
    QLineEdit* tabSizes_ = nullptr;
    QCheckBox* dspAlwaysFullPath_ = nullptr;
    QCheckBox* dspAutoScroll_ = nullptr;
    QCheckBox* dspSuprDup_ = nullptr;
    QPlainTextEdit* dspPreReplace_ = nullptr;
    QPlainTextEdit* dspFontSpec_ = nullptr;
    QPlainTextEdit* dspDupReplace_ = nullptr;
    QLineEdit* appToUse_ = nullptr;
    QLineEdit* appOptFormat_ = nullptr;
    QLineEdit* nonTextExt_ = nullptr;
    QLineEdit* ixfDir_ = nullptr;
    QCheckBox* keepCnvTxt_ = nullptr;
    QCheckBox* useOffice2003_ = nullptr;
    QCheckBox* autoDetectCharset_ = nullptr;
};
