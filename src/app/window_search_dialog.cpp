// Window-internal search: one history combo box for the search string and
// the ignore-case check box, shared with the search dialog's keys.
#include "app/window_search_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/history_combo.h"
#include "app/message_box.h"
#include "config/app_settings.h"

WindowSearchDialog::WindowSearchDialog(AppSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setWindowTitle(QString::fromUtf16(u"ウィンドウ内検索"));
    auto* grid = new QGridLayout(this);
    strCombo_ = new HistoryCombo(settings.schStr, settings.schStrs, this);
    strCombo_->setObjectName(QStringLiteral("schStr"));
    auto* label = new QLabel(QString::fromUtf16(u"検索文字列(&S) :"), this);
    label->setBuddy(strCombo_);
    ignoreCase_ = new QCheckBox(QString::fromUtf16(u"大文字と小文字を区別しない(&C)"), this);
    ignoreCase_->setObjectName(QStringLiteral("schICaseF"));
    ignoreCase_->setChecked(settings.schICaseF != 0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QString::fromUtf16(u"キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &WindowSearchDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &WindowSearchDialog::reject);
    grid->addWidget(label, 0, 0);
    grid->addWidget(strCombo_, 0, 1);
    grid->addWidget(ignoreCase_, 1, 1);
    grid->addWidget(buttons, 2, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    strCombo_->lineEdit()->selectAll();
}

void WindowSearchDialog::accept() {
    strCombo_->store();
    settings_.schICaseF = ignoreCase_->isChecked() ? 1 : 0;
    if (!settings_.schStr.empty()) {
        QDialog::accept();
        return;
    }
    showMessageBox(this, QString::fromUtf16(u"検索文字列を指定してください"));
    strCombo_->load();
    strCombo_->setFocus();
}

bool runWindowSearchDialog(AppSettings& settings, QWidget* parent) {
    if (settings.schStrs.empty()) settings.schStrs.emplace_back();
    WindowSearchDialog dialog(settings, parent);
    return dialog.exec() == QDialog::Accepted;
}
