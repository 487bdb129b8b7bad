#include "tcpmon/DialogButtons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

CancelOkButtons MakeCancelOkButtons(QDialog* dialog, const char* cancelName, const char* okName)
{
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), dialog);
    cancel->setObjectName(QString::fromLatin1(cancelName));
    auto* ok = new QPushButton(QStringLiteral("OK"), dialog);
    ok->setObjectName(QString::fromLatin1(okName));
    ok->setDefault(true);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(cancel);
    row->addWidget(ok);
    return {cancel, ok, row};
}
