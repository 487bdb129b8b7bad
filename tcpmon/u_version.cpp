#include "tcpmon/u_version.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace tamrel {

Tf_version::Tf_version(const QString& titleLine, const QString& note, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(QCoreApplication::translate("tamrel::Tf_version", "版本信息"));
    auto* title = new QLabel(titleLine, this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    auto* noteBox = new QPlainTextEdit(this);
    noteBox->setAccessibleName(QCoreApplication::translate("tamrel::Tf_version", "版本说明"));
    noteBox->setReadOnly(true);
    noteBox->setPlainText(note);
    noteBox->setFixedSize(360, 96);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(noteBox);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace tamrel
