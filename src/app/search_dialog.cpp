// The search dialog: three history combo boxes, the search type and the
// option check boxes, each bound to its settings key. Options that the chosen
// type cannot use are disabled as soon as any control changes.
#include "app/search_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <iterator>

#include "app/dropped_folders.h"
#include "app/help_window.h"
#include "app/history_combo.h"
#include "app/message_box.h"
#include "app/sjis_qstring.h"
#include "config/app_settings.h"

namespace {

struct CheckBinding {
    const char16_t* label;
    int32_t AppSettings::*field;
    const char* name;
};

// Laid out two a row in this order; the indexes below name the ones whose
// state depends on others.
constexpr CheckBinding kChecks[] = {
    {u"大文字と小文字を区別しない(&C)", &AppSettings::schICaseF, "schICaseF"},
    {u"全角と半角を区別しない(&Z)", &AppSettings::schIZhF, "schIZhF"},
    {u"記号・空白・語尾の違いを無視(&Y)", &AppSettings::schStemF, "schStemF"},
    {u"単語のみ(&W)", &AppSettings::schWord, "schWord"},
    {u"フィールドに完全一致(&M)", &AppSettings::schFieldMchF, "schFieldMchF"},
    {u"カウントのみ(&T)", &AppSettings::schCount, "schCount"},
    {u"サブフォルダを含める(&U)", &AppSettings::schSubDir, "schSubDir"},
    {u"索引を使用(&X)", &AppSettings::schUseIX, "schUseIX"},
};
enum CheckIndex { kIgnoreWidth = 1, kStem = 2, kWord = 3, kUseIndex = 7 };

constexpr const char16_t* kTypeLabels[] = {u"通常(&P)", u"正規(&R)", u"ファジー(&F)"};
constexpr const char* kTypeNames[] = {"normal", "regex", "fuzzy"};

QString qs(const char16_t* text) {
    return QString::fromUtf16(text);
}

void seedHistory(LStrList& history) {
    if (history.empty()) history.emplace_back();
}

}  // namespace

SearchDialog::SearchDialog(AppSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    static_assert(std::size(kChecks) == std::tuple_size_v<decltype(checks_)>);
    setWindowTitle(qs(u"検索"));
    setAcceptDrops(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(makeCombos());
    layout->addWidget(makeTypeGroup());
    layout->addLayout(makeCheckBoxes());
    layout->addWidget(makeButtons());
    updateStates();
    strCombo_->lineEdit()->selectAll();  // typing replaces the last search string
}

QLayout* SearchDialog::makeCombos() {
    auto* grid = new QGridLayout;
    strCombo_ = new HistoryCombo(settings_.schStr, settings_.schStrs, this);
    dirCombo_ = new HistoryCombo(settings_.schDir, settings_.schDirs, this);
    fileCombo_ = new HistoryCombo(settings_.schFile, settings_.schFiles, this);
    const struct {
        const char16_t* label;
        const char* name;
        HistoryCombo* combo;
    } rows[] = {
        {u"検索文字列(&S) :", "schStr", strCombo_},
        {u"フォルダ(&D) :", "schDir", dirCombo_},
        {u"ファイル名(&N) :", "schFile", fileCombo_},
    };
    int row = 0;
    for (const auto& r : rows) {
        auto* label = new QLabel(qs(r.label), this);
        label->setBuddy(r.combo);
        r.combo->setObjectName(QString::fromLatin1(r.name));
        r.combo->lineEdit()->installEventFilter(this);
        grid->addWidget(label, row, 0);
        grid->addWidget(r.combo, row++, 1);
    }
    auto* browse = new QPushButton(qs(u"参照(&B)"), this);
    browse->setAutoDefault(false);
    connect(browse, &QPushButton::clicked, this, &SearchDialog::browseFolder);
    grid->addWidget(browse, 1, 2);
    grid->setColumnStretch(1, 1);
    return grid;
}

QWidget* SearchDialog::makeTypeGroup() {
    auto* group = new QGroupBox(qs(u"検索の種類"), this);
    auto* row = new QHBoxLayout(group);
    // A type the settings do not know reads as a normal search.
    int32_t type = settings_.schType;
    if (type < AppSettings::kNormalSearch || type > AppSettings::kFuzzySearch)
        type = AppSettings::kNormalSearch;
    for (int i = 0; i < 3; ++i) {
        auto* radio = new QRadioButton(qs(kTypeLabels[i]), group);
        radio->setObjectName(QString::fromLatin1(kTypeNames[i]));
        radio->setChecked(type == i + 1);
        row->addWidget(radio);
        typeRadios_[size_t(i)] = radio;
    }
    // Connected after the initial choice: the check boxes do not exist yet.
    for (QRadioButton* radio : typeRadios_)
        connect(radio, &QRadioButton::toggled, this, &SearchDialog::updateStates);
    row->addStretch();
    return group;
}

QLayout* SearchDialog::makeCheckBoxes() {
    auto* grid = new QGridLayout;
    for (size_t i = 0; i < checks_.size(); ++i) {
        auto* box = new QCheckBox(qs(kChecks[i].label), this);
        box->setObjectName(QString::fromLatin1(kChecks[i].name));
        box->setChecked(settings_.*kChecks[i].field != 0);
        connect(box, &QCheckBox::toggled, this, &SearchDialog::updateStates);
        grid->addWidget(box, int(i / 2), int(i % 2));
        checks_[i] = box;
    }
    return grid;
}

QWidget* SearchDialog::makeButtons() {
    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    buttons->button(QDialogButtonBox::Ok)->setText(qs(u"OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(qs(u"キャンセル"));
    buttons->button(QDialogButtonBox::Help)->setText(qs(u"ヘルプ(&H)"));
    connect(buttons, &QDialogButtonBox::accepted, this, &SearchDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SearchDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [this] { showHelp(QStringLiteral("search-dialog"), this); });
    return buttons;
}

void SearchDialog::updateStates() {
    const bool regex = typeRadios_[1]->isChecked();
    const bool fuzzy = typeRadios_[2]->isChecked();
    checks_[kIgnoreWidth]->setEnabled(!fuzzy);
    checks_[kStem]->setEnabled(!regex && !fuzzy);
    checks_[kWord]->setEnabled(!fuzzy && !checks_[kStem]->isChecked());
    checks_[kUseIndex]->setEnabled(!fuzzy);
}

void SearchDialog::store() {
    strCombo_->store();
    dirCombo_->store();
    fileCombo_->store();
    for (int i = 0; i < 3; ++i)
        if (typeRadios_[size_t(i)]->isChecked()) settings_.schType = i + 1;
    for (size_t i = 0; i < checks_.size(); ++i)
        settings_.*kChecks[i].field = checks_[i]->isChecked() ? 1 : 0;
}

void SearchDialog::accept() {
    store();
    const QString problem = searchSettingsProblem(settings_);
    if (problem.isEmpty()) {
        QDialog::accept();
        return;
    }
    showMessageBox(this, problem);
    // Shown again as entered, with the entries just stored in the drop-downs.
    for (HistoryCombo* combo : {strCombo_, dirCombo_, fileCombo_}) combo->load();
    for (HistoryCombo* combo : {strCombo_, dirCombo_, fileCombo_}) {
        if (combo->currentText().isEmpty()) {
            combo->setFocus();
            break;
        }
    }
}

void SearchDialog::browseFolder() {
    // Of several folders, the first is where the choice starts.
    const QString start = dirCombo_->currentText().section(QLatin1Char(';'), 0, 0).trimmed();
    const QString chosen = QFileDialog::getExistingDirectory(this, qs(u"フォルダの選択"), start);
    if (!chosen.isEmpty()) dirCombo_->setText(toSjis(chosen));
}

bool SearchDialog::takeFolders(const QMimeData* data) {
    const LStr folders = droppedFolders(data);
    if (folders.empty()) return false;
    settings_.schDir = folders;
    dirCombo_->setText(folders);
    raise();
    activateWindow();
    return true;
}

void SearchDialog::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFolders(event->mimeData()).empty()) event->acceptProposedAction();
}

void SearchDialog::dragMoveEvent(QDragMoveEvent* event) {
    if (!droppedFolders(event->mimeData()).empty()) event->acceptProposedAction();
}

void SearchDialog::dropEvent(QDropEvent* event) {
    if (takeFolders(event->mimeData())) event->acceptProposedAction();
}

bool SearchDialog::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QDialog::eventFilter(watched, event);
    auto* drop = static_cast<QDropEvent*>(event);
    if (!drop->mimeData()->hasUrls()) return false;  // text goes into the edit
    if (type == QEvent::Drop) {
        if (takeFolders(drop->mimeData())) drop->acceptProposedAction();
    } else if (!droppedFolders(drop->mimeData()).empty()) {
        drop->acceptProposedAction();
    } else {
        drop->ignore();
    }
    return true;
}

QString searchSettingsProblem(const AppSettings& settings) {
    if (settings.schStr.empty()) return qs(u"検索文字列を指定してください");
    if (settings.schDir.empty()) return qs(u"フォルダを指定してください");
    if (settings.schFile.empty()) return qs(u"ファイル名を指定してください");
    return {};
}

bool runSearchDialog(AppSettings& settings, QWidget* parent) {
    seedHistory(settings.schStrs);
    seedHistory(settings.schDirs);
    seedHistory(settings.schFiles);
    if (!settings.pendingFolder.empty()) {
        settings.schDir = settings.pendingFolder;
        settings.pendingFolder.clear();
    }
    SearchDialog dialog(settings, parent);
    return dialog.exec() == QDialog::Accepted;
}
