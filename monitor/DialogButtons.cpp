#include "monitor/DialogButtons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace monitor {

CancelOkButtons AddCancelOkRow(QDialog* dialog, QVBoxLayout* layout, const char* okName)
{
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), dialog);
    cancel->setObjectName(QStringLiteral("BitBtn1"));
    auto* ok = new QPushButton(QStringLiteral("OK"), dialog);
    ok->setObjectName(QString::fromLatin1(okName));
    ok->setDefault(true);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);

    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(cancel);
    row->addWidget(ok);
    layout->addLayout(row);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    return {cancel, ok};
}

} // namespace monitor
