#include "widgets/TF_color.h"

#include "widgets/Contrast.h"
#include "widgets/TSMemo.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kSwatchSize = 25;

QColorDialog* MakePicker(QWidget* parent)
{
    auto* picker = new QColorDialog(Qt::black, parent);
    picker->setOption(QColorDialog::DontUseNativeDialog, true);
    return picker;
}

} // namespace

TF_color::TF_color(TSMemo* recvMemo, TSMemo* sendMemo, QWidget* parent)
    : QDialog(parent)
    , ColorDialog1(MakePicker(this))
    , ColorDialog2(MakePicker(this))
    , BitBtnOK(new QPushButton(QStringLiteral("OK"), this))
    , BitBtnCancel(new QPushButton(QStringLiteral("Cancel"), this))
    , ContrastLabel(new QLabel(this))
    , recvMemo_(recvMemo)
    , sendMemo_(sendMemo)
{
    setWindowTitle(QCoreApplication::translate("TF_color", "颜色"));

    const auto makeGroup = [this](const QString& title, Swatch textRow, Swatch backgroundRow) {
        auto* group = new QGroupBox(title, this);
        auto* grid = new QGridLayout(group);
        const auto addRow = [this, title, group, grid](int row, const QString& caption, Swatch swatch) {
            grid->addWidget(new QLabel(caption, group), row, 0);
            buttons_[swatch] = new QPushButton(QCoreApplication::translate("TF_color", "请选择"), group);
            buttons_[swatch]->setAccessibleName(title + QLatin1Char(' ') + caption.chopped(1));
            grid->addWidget(buttons_[swatch], row, 1);
            swatches_[swatch] = new QFrame(group);
            swatches_[swatch]->setFrameShape(QFrame::Box);
            swatches_[swatch]->setFixedSize(kSwatchSize, kSwatchSize);
            swatches_[swatch]->setAutoFillBackground(true);
            grid->addWidget(swatches_[swatch], row, 2);
        };
        addRow(0, QCoreApplication::translate("TF_color", "字体颜色:"), textRow);
        addRow(1, QCoreApplication::translate("TF_color", "背景颜色:"), backgroundRow);
        return group;
    };

    auto* groups = new QHBoxLayout;
    groups->addWidget(makeGroup(QCoreApplication::translate("TF_color", "接收报文区"), RecvText, RecvBackground));
    groups->addWidget(makeGroup(QCoreApplication::translate("TF_color", "发送报文区"), SendText, SendBackground));

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(BitBtnCancel);
    buttonRow->addWidget(BitBtnOK);

    ContrastLabel->setObjectName(QStringLiteral("ContrastLabel"));
    ContrastLabel->setWordWrap(true);
    ContrastLabel->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addWidget(ContrastLabel);
    layout->addLayout(buttonRow);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(buttons_[RecvText], &QPushButton::clicked, this, &TF_color::Button1Click);
    connect(buttons_[RecvBackground], &QPushButton::clicked, this, &TF_color::Button2Click);
    connect(buttons_[SendText], &QPushButton::clicked, this, &TF_color::Button3Click);
    connect(buttons_[SendBackground], &QPushButton::clicked, this, &TF_color::Button4Click);
    connect(BitBtnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QColor TF_color::SwatchColor(Swatch swatch) const
{
    return swatches_[swatch]->palette().color(QPalette::Window);
}

QPushButton* TF_color::ChooseButton(Swatch swatch) const
{
    return buttons_[swatch];
}

void TF_color::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TF_color::FormShow()
{
    for (int i = 0; i < SwatchCount; ++i) {
        const auto swatch = static_cast<Swatch>(i);
        ShowSwatch(swatch, ColorInForce(swatch));
    }
    ShowContrastNote();
}

void TF_color::Button1Click()
{
    ChooseColor(ColorDialog1, lastColor1_, RecvText);
}

void TF_color::Button2Click()
{
    ChooseColor(ColorDialog1, lastColor1_, RecvBackground);
}

void TF_color::Button3Click()
{
    ChooseColor(ColorDialog2, lastColor2_, SendText);
}

void TF_color::Button4Click()
{
    ChooseColor(ColorDialog2, lastColor2_, SendBackground);
}

void TF_color::ChooseColor(QColorDialog* picker, QColor& lastColor, Swatch swatch)
{
    picker->setCurrentColor(lastColor);
    if (picker->exec() != QDialog::Accepted)
        return;
    lastColor = picker->selectedColor();
    ApplyColor(swatch, lastColor);
    ShowSwatch(swatch, lastColor);
    ShowContrastNote();
}

void TF_color::ShowContrastNote()
{
    QStringList notes;
    for (const QString& note : {ContrastNote(QCoreApplication::translate("TF_color", "接收报文区"),
                                             ColorInForce(RecvText), ColorInForce(RecvBackground)),
                                ContrastNote(QCoreApplication::translate("TF_color", "发送报文区"),
                                             ColorInForce(SendText), ColorInForce(SendBackground))}) {
        if (!note.isEmpty())
            notes.append(note);
    }
    ContrastLabel->setText(notes.join(QLatin1Char('\n')));
    ContrastLabel->setVisible(!notes.isEmpty());
}

void TF_color::ShowSwatch(Swatch swatch, const QColor& color)
{
    QPalette pal = swatches_[swatch]->palette();
    pal.setColor(QPalette::Window, color);
    swatches_[swatch]->setPalette(pal);
}

void TF_color::ApplyColor(Swatch swatch, const QColor& color)
{
    switch (swatch) {
    case RecvText: recvMemo_->SetTextColor(color); break;
    case RecvBackground: recvMemo_->SetBackgroundColor(color); break;
    case SendText: sendMemo_->SetTextColor(color); break;
    case SendBackground: sendMemo_->SetBackgroundColor(color); break;
    case SwatchCount: break;
    }
}

QColor TF_color::ColorInForce(Swatch swatch) const
{
    switch (swatch) {
    case RecvText: return recvMemo_->TextColor();
    case RecvBackground: return recvMemo_->BackgroundColor();
    case SendText: return sendMemo_->TextColor();
    case SendBackground: return sendMemo_->BackgroundColor();
    case SwatchCount: break;
    }
    return {};
}
