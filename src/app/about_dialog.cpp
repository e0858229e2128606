// The version dialog. Its lines can be selected, so that a user can copy the
// folders into a bug report.
#include "app/about_dialog.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/app_icons.h"
#include "app/sjis_qstring.h"
#include "config/app_settings.h"

namespace {

QLabel* selectableLabel(const QString& text) {
    auto* label = new QLabel(text);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QWidget* headingFor(QDialog* dialog) {
    auto* heading = new QWidget(dialog);
    auto* row = new QHBoxLayout(heading);
    row->setContentsMargins(0, 0, 0, 0);
    auto* icon = new QLabel;
    icon->setPixmap(applicationIcon().pixmap(48, 48));
    row->addWidget(icon);
    auto* name = new QLabel(QStringLiteral("<b><big>Quillfind</big></b><br>") +
                            QString::fromUtf8("バージョン ") + QStringLiteral(QF_VERSION));
    name->setTextFormat(Qt::RichText);
    row->addWidget(name, 1);
    return heading;
}

}  // namespace

void showAboutDialog(const AppSettings& settings, QWidget* parent) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QString::fromUtf8("バージョン情報"));

    auto* details = new QFormLayout;
    details->addRow(
        QString::fromUtf8("プログラムのフォルダ:"),
        selectableLabel(QDir::toNativeSeparators(QCoreApplication::applicationDirPath())));
    details->addRow(QString::fromUtf8("Qt のバージョン:"),
                    selectableLabel(QString::fromLatin1(qVersion())));
    details->addRow(QString::fromUtf8("設定ファイル:"),
                    selectableLabel(fromSjis(settings.configPath.view())));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);

    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(headingFor(&dialog));
    layout->addLayout(details);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    dialog.exec();
}
