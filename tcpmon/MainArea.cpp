#include "tcpmon/MainArea.h"

#include "tcpmon/MainLayout.h"

#include "monitor/Language.h"
#include "widgets/StatusPanels.h"
#include "widgets/TSMemo.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMainWindow>
#include <QSplitter>
#include <QStatusBar>

#include <algorithm>

namespace tamrel {

namespace {

const QColor kLime(0, 255, 0);
const QColor kYellow(255, 255, 0);

} // namespace

MainArea::MainArea(QMainWindow& window, const QString& credit, int sideWidth)
    : window_(window)
{
    CreateArea();
    CreateStatusBar(credit, sideWidth);
}

void MainArea::CreateArea()
{
    auto* area = new QWidget(&window_);
    area->setObjectName(QStringLiteral("MainArea"));
    window_.setCentralWidget(area);

    const auto label = [area](const QString& text) {
        auto* l = new QLabel(text, area);
        l->setStyleSheet(QStringLiteral("color: blue;"));
        l->adjustSize();
        return l;
    };
    LabelRecv = label(QCoreApplication::translate("tamrel::MainArea", "接收报文"));
    LabelSend = label(QCoreApplication::translate("tamrel::MainArea", "发送报文"));

    PanelLeft = new QWidget(area);
    PanelLeft->setObjectName(QStringLiteral("PanelLeft"));
    PanelRight = new QWidget(area);
    PanelRight->setObjectName(QStringLiteral("PanelRight"));
    auto* splitter = new QSplitter(Qt::Horizontal, area);
    Splitter1 = splitter;
    splitter->setObjectName(QStringLiteral("Splitter1"));
    splitter->setHandleWidth(kSplitterWidth);
    splitter->setChildrenCollapsible(false);

    const QColor background = window_.palette().color(QPalette::Highlight); // the active caption's colour
    auto* receive = new TSMemo(splitter);
    Memo1 = receive;
    receive->setObjectName(QStringLiteral("Memo1"));
    receive->setAccessibleName(QCoreApplication::translate("tamrel::MainArea", "接收报文"));
    receive->SetTextColor(kLime);
    receive->SetBackgroundColor(background);
    // Received lines are hex pairs, which need no text shaping: laying out
    // and drawing a long line then costs a third of what it would.
    QFont receiveFont = receive->font();
    receiveFont.setStyleStrategy(QFont::PreferNoShaping);
    receive->setFont(receiveFont);
    auto* send = new TSMemo(splitter);
    Memo2 = send;
    send->setObjectName(QStringLiteral("Memo2"));
    send->setAccessibleName(QCoreApplication::translate("tamrel::MainArea", "发送报文"));
    send->SetTextColor(kYellow);
    send->SetBackgroundColor(background);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    QObject::connect(splitter, &QSplitter::splitterMoved, &window_, [this] { PlaceLabels(); });
}

void MainArea::CreateStatusBar(const QString& credit, int sideWidth)
{
    auto* bar = new QStatusBar(&window_);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    auto* panels = new StatusPanels(bar);
    Panels = panels;
    panels->AddPanel(140, Qt::AlignLeft);
    panels->AddPanel(150, Qt::AlignLeft);
    panels->AddPanel(sideWidth, Qt::AlignLeft);
    panels->AddPanel(150, Qt::AlignRight);
    panels->SetPanelText(PanelCredit, credit);
    // In English, in a window too narrow for every panel, the panels give
    // way to their texts.
    panels->SetGivesWayToTexts(monitor::InstalledLanguage() == monitor::Language::English);
    bar->addPermanentWidget(panels, 1);
    window_.setStatusBar(bar);
}

void MainArea::Place() const
{
    QWidget* area = window_.centralWidget();
    const MainAreaWidths widths = MainAreaFor(window_.width());
    const int areaWidth = area->width();
    const int top = kLabelStripHeight;
    const int height = std::max(0, area->height() - top);
    PanelLeft->setGeometry(0, top, widths.margin, height);
    PanelRight->setGeometry(areaWidth - widths.margin, top, widths.margin, height);
    const int inner = std::max(0, areaWidth - 2 * widths.margin);
    Splitter1->setGeometry(widths.margin, top, inner, height);
    const int receive = std::min(widths.receive, std::max(0, inner - kSplitterWidth));
    Splitter1->setSizes({receive, std::max(0, inner - kSplitterWidth - receive)});
    PlaceLabels();
}

void MainArea::PlaceLabels() const
{
    const auto place = [this](QLabel* label, TSMemo* memo) {
        const int left = Splitter1->x() + memo->x();
        label->move(LabelLeft(left, memo->width()), (kLabelStripHeight - label->height()) / 2);
    };
    place(LabelRecv, Memo1);
    place(LabelSend, Memo2);
}

} // namespace tamrel
