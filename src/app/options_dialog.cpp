// The options dialog's pages, their bindings to the settings, and its OK:
// directly bound controls are written first, then the working texts go
// through the checks, which may refuse and keep the dialog open.
#include "app/options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <initializer_list>

#include "app/help_window.h"
#include "app/history_combo.h"
#include "app/message_box.h"
#include "app/sjis_qstring.h"
#include "config/app_settings.h"
#include "search/search_request.h"
#include "support/message_service.h"

namespace {

constexpr int kHighestMinRate = 100;

QString ja(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Takes any typed number, so that a rate below the lowest one reaches the
// check and its message; only the arrows keep to the allowed range.
class MatchRateBox : public QSpinBox {
public:
    explicit MatchRateBox(QWidget* parent) : QSpinBox(parent) { setRange(0, kHighestMinRate); }

protected:
    void stepBy(int steps) override {
        setValue(std::clamp(value() + steps, int(kLowestMinRate), kHighestMinRate));
    }
    StepEnabled stepEnabled() const override {
        StepEnabled enabled = StepNone;
        if (value() < kHighestMinRate) enabled |= StepUpEnabled;
        if (value() > kLowestMinRate) enabled |= StepDownEnabled;
        return enabled;
    }
};

class BoxUser : public OptionDialogUser {
public:
    explicit BoxUser(QWidget* parent) : parent_(parent) {}
    void tell(std::string_view message) override { showMessageBox(parent_, fromSjis(message)); }
    bool ask(std::string_view question) override { return askYesNo(parent_, fromSjis(question)); }

private:
    QWidget* parent_;
};

template <class W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A drop-down list whose item index is the setting's value.
QComboBox* makeChoice(const char* name, std::initializer_list<const char*> texts, int32_t value,
                      QWidget* parent) {
    auto* box = named(new QComboBox(parent), name);
    for (const char* text : texts) box->addItem(ja(text));
    box->setCurrentIndex(value >= 0 && value < box->count() ? value : -1);
    return box;
}

QLineEdit* makeEdit(const char* name, const LStr& text, QWidget* parent) {
    auto* edit = named(new QLineEdit(fromSjis(text.view()), parent), name);
    edit->setCursorPosition(0);  // a long list shows its start
    return edit;
}

QCheckBox* makeCheck(const char* name, const char* label, int32_t value, QWidget* parent) {
    auto* box = named(new QCheckBox(ja(label), parent), name);
    box->setChecked(value != 0);
    return box;
}

QString shownLines(const LStr& text) {
    QString shown = fromSjis(text.view());
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

QPlainTextEdit* makeLines(const char* name, const LStr& text, QWidget* parent) {
    auto* edit = named(new QPlainTextEdit(shownLines(text), parent), name);
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    return edit;
}

// Lines end in CR LF as in the settings file; an untouched text keeps its
// own line ends, so that it does not count as changed.
LStr typedLines(const QPlainTextEdit* edit, const LStr& original) {
    QString typed = edit->toPlainText();
    if (typed == shownLines(original)) return original;
    typed.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return toSjis(typed);
}

LStr typed(const QLineEdit* edit) {
    return toSjis(edit->text());
}

void storeChoice(const QComboBox* box, int32_t& value) {
    if (box->currentIndex() >= 0) value = box->currentIndex();
}

}  // namespace

OptionsDialog::OptionsDialog(AppSettings& settings, const OptionHooks& hooks, QWidget* parent)
    : QDialog(parent), settings_(settings), hooks_(hooks), working_(optionTextsOf(settings)) {
    seedOptionHistories(settings_);
    setWindowTitle(ja("オプション"));
    pages_ = named(new QTabWidget(this), "pages");
    pages_->addTab(makeSearchPage(), ja("検索"));
    pages_->addTab(makeDisplayPage(), ja("表示"));
    pages_->addTab(makeSystemPage(), ja("システム"));
    pages_->setCurrentIndex(std::clamp(settings_.psLastActive, 0, pages_->count() - 1));

    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(ja("キャンセル"));
    buttons->button(QDialogButtonBox::Help)->setText(ja("ヘルプ(&H)"));
    connect(buttons, &QDialogButtonBox::accepted, this, &OptionsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &OptionsDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [this] { showHelp(QStringLiteral("options"), this); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_);
    layout->addWidget(buttons);
    countAtOpen_ = threadDefectCount();
}

OptionsDialog::~OptionsDialog() = default;

QWidget* OptionsDialog::makeSearchPage() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    ignoreSameRec_ =
        makeChoice("ignoreSameRec", {"すべて表示", "別のファイルなら表示", "表示しない"},
                   settings_.ignoreSameRec, page);
    searchOnFocus_ =
        makeChoice("searchOnFocus", {"しない", "検索ダイアログ ボックスを表示", "検索実行"},
                   settings_.searchOnFocus, page);
    recSeparEsc_ =
        named(new HistoryCombo(working_.recSeparEsc, settings_.recSeparEscs, page), "recSeparEsc");
    fldSeparEsc_ =
        named(new HistoryCombo(settings_.fldSeparEsc, settings_.fldSeparEscs, page), "fldSeparEsc");
    schAreaInRec_ = named(new HistoryCombo(working_.schAreaInRec, settings_.schAreaInRecs, page),
                          "schAreaInRec");
    minRate_ = named(new MatchRateBox(page), "minRate");
    minRate_->setValue(settings_.minRate);
    searchThreads_ = named(new QSpinBox(page), "searchThreads");
    searchThreads_->setRange(0, kMostSearchThreads);
    searchThreads_->setSpecialValueText(ja("自動"));  // 0: one per processor
    searchThreads_->setValue(settings_.searchThreads);
    form->addRow(ja("発見した同一レコードの表示(&S) :"), ignoreSameRec_);
    form->addRow(ja("フォーカス時に検索(&F) :"), searchOnFocus_);
    form->addRow(ja("レコードの区切り(&P) :"), recSeparEsc_);
    form->addRow(ja("フィールドの区切り(&Q) :"), fldSeparEsc_);
    form->addRow(ja("レコード内の検索範囲(&A) :"), schAreaInRec_);
    form->addRow(ja("ファジー検索の一致率下限(&R) :"), minRate_);
    form->addRow(ja("同時に検索するファイル数(&T) :"), searchThreads_);
    return page;
}

QWidget* OptionsDialog::makeDisplayPage() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    dspSeparEsc_ = makeEdit("dspSeparEsc", settings_.dspSeparEsc, page);
    tabSizes_ = makeEdit("tabSizes", working_.tabSizes, page);
    dspAlwaysFullPath_ =
        makeCheck("dspAlwaysFullPath", "常にフルパスで表示(&P)", settings_.dspAlwaysFullPath, page);
    dspAutoScroll_ =
        makeCheck("dspAutoScroll", "検索中に自動スクロール(&P)", settings_.dspAutoScroll, page);
    dspSuprDup_ = makeCheck("dspSuprDup", "重複非表示(&D)", settings_.dspSuprDup, page);
    dspPreReplace_ = makeLines("dspPreReplace", working_.dspPreReplace, page);
    dspFontSpec_ = makeLines("dspFontSpec", working_.dspFontSpec, page);
    dspDupReplace_ = makeLines("dspDupReplace", working_.dspDupReplace, page);
    form->addRow(ja("レコード表示の区切り(&S) :"), dspSeparEsc_);
    form->addRow(ja("タブサイズ(&T) :"), tabSizes_);
    form->addRow(dspAlwaysFullPath_);
    form->addRow(dspAutoScroll_);
    form->addRow(dspSuprDup_);
    form->addRow(ja("表示前置換(&R) :"), dspPreReplace_);
    form->addRow(ja("表示フォント追加(&F) :"), dspFontSpec_);
    form->addRow(ja("重複判定前置換(&E) :"), dspDupReplace_);
    return page;
}

QWidget* OptionsDialog::makeSystemPage() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    appToUse_ = makeEdit("appToUse", settings_.appToUse, page);
    auto* browse = named(new QPushButton(ja("参照(&B)"), page), "browse");
    connect(browse, &QPushButton::clicked, this, &OptionsDialog::browseForApplication);
    auto* appRow = new QHBoxLayout;
    appRow->addWidget(appToUse_);
    appRow->addWidget(browse);
    appOptFormat_ = makeEdit("appOptFormat", settings_.appOptFormat, page);
    nonTextExt_ = makeEdit("nonTextExt", working_.nonTextExt, page);
    ixfDir_ = makeEdit("ixfDir", working_.ixfDir, page);
    keepCnvTxt_ = makeCheck("keepCnvTxt", "変換後テキストを残す(&K)", settings_.keepCnvTxt, page);
    useOffice2003_ = makeCheck("useOffice2003", "Office 2003 インストールを優先利用(&O)",
                               settings_.useOffice2003, page);
    autoDetectCharset_ = makeCheck("autoDetectCharset", "文字コードを自動判別(&J)",
                                   settings_.autoDetectCharset, page);
    form->addRow(ja("ファイルを開くアプリケーション(&A) :"), appRow);
    // QFormLayout gives a layout row no buddy; the edit takes the label's letter.
    if (auto* label = qobject_cast<QLabel*>(form->labelForField(appRow)))
        label->setBuddy(appToUse_);
    form->addRow(ja("行番号指定オプション(&L) :"), appOptFormat_);
    form->addRow(ja("非テキストの拡張子(&E) :"), nonTextExt_);
    form->addRow(ja("索引ファイルのフォルダ(&D) :"), ixfDir_);
    form->addRow(keepCnvTxt_);
    form->addRow(useOffice2003_);
    form->addRow(autoDetectCharset_);
    return page;
}

void OptionsDialog::browseForApplication() {
    const QString current = appToUse_->text();
    const QString folder = current.isEmpty() ? QString() : QFileInfo(current).absolutePath();
    const QString chosen = QFileDialog::getOpenFileName(this, ja("ファイルを開くアプリケーション"),
                                                        folder, ja("すべてのファイル (*)"));
    if (!chosen.isEmpty()) appToUse_->setText(chosen);
}

void OptionsDialog::storeBoundControls() {
    storeChoice(ignoreSameRec_, settings_.ignoreSameRec);
    storeChoice(searchOnFocus_, settings_.searchOnFocus);
    fldSeparEsc_->store();
    // The working values are stored by the checks; this keeps their histories.
    recSeparEsc_->store();
    schAreaInRec_->store();
    minRate_->interpretText();
    settings_.minRate = minRate_->value();
    searchThreads_->interpretText();
    settings_.searchThreads = searchThreads_->value();
    settings_.dspSeparEsc = typed(dspSeparEsc_);
    settings_.dspAlwaysFullPath = dspAlwaysFullPath_->isChecked();
    settings_.dspAutoScroll = dspAutoScroll_->isChecked();
    settings_.dspSuprDup = dspSuprDup_->isChecked();
    settings_.appToUse = typed(appToUse_);
    settings_.appOptFormat = typed(appOptFormat_);
    settings_.keepCnvTxt = keepCnvTxt_->isChecked();
    settings_.useOffice2003 = useOffice2003_->isChecked();
    settings_.autoDetectCharset = autoDetectCharset_->isChecked();
}

OptionTexts OptionsDialog::typedTexts() const {
    OptionTexts texts;
    texts.recSeparEsc = recSeparEsc_->text();
    texts.schAreaInRec = schAreaInRec_->text();
    texts.tabSizes = typed(tabSizes_);
    texts.dspPreReplace = typedLines(dspPreReplace_, working_.dspPreReplace);
    texts.dspFontSpec = typedLines(dspFontSpec_, working_.dspFontSpec);
    texts.dspDupReplace = typedLines(dspDupReplace_, working_.dspDupReplace);
    texts.nonTextExt = typed(nonTextExt_);
    texts.ixfDir = typed(ixfDir_);
    return texts;
}

void OptionsDialog::accept() {
    storeBoundControls();
    BoxUser user(this);
    if (storeOptionTexts(settings_, typedTexts(), countAtOpen_, user, hooks_)) {
        QDialog::accept();
        return;
    }
    // Refused: the dialog stays with what was typed, counting messages anew.
    countAtOpen_ = threadDefectCount();
}

void OptionsDialog::done(int result) {
    settings_.psLastActive = pages_->currentIndex();
    QDialog::done(result);
}

bool runOptionsDialog(AppSettings& settings, const OptionHooks& hooks, QWidget* parent) {
    OptionsDialog dialog(settings, hooks, parent);
    return dialog.exec() == QDialog::Accepted;
}
