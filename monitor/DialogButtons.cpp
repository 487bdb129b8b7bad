#include "monitor/DialogButtons.h"

#include "monitor/Language.h"

#include <QDialog>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSpacerItem>
#include <QVBoxLayout>

namespace monitor {

namespace {

// The window's icon at the left of a title bar and its three buttons at the
// right, with their margins.
constexpr int kTitleBarExtras = 110;

} // namespace

int TitleWidth(const QDialog& dialog)
{
    QFont font = dialog.font();
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(dialog.windowTitle()) + kTitleBarExtras;
}

void AddCancelOkRow(QDialog* dialog, QVBoxLayout* layout, QPushButton*& cancel, QPushButton*& ok, const char* okName)
{
    cancel = new QPushButton(QStringLiteral("Cancel"), dialog);
    cancel->setObjectName(QStringLiteral("BitBtn1"));
    ok = new QPushButton(QStringLiteral("OK"), dialog);
    ok->setObjectName(QString::fromLatin1(okName));
    ok->setDefault(true);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);

    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(cancel);
    row->addWidget(ok);
    layout->addLayout(row);
    if (InstalledLanguage() == Language::English && !dialog->windowTitle().isEmpty()) {
        const QMargins margins = layout->contentsMargins();
        layout->addItem(new QSpacerItem(TitleWidth(*dialog) - margins.left() - margins.right(), 0,
                                        QSizePolicy::Fixed, QSizePolicy::Fixed));
    }
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace monitor
