#include "udpmon/u_version.h"

#include "udpmon/StatusTexts.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ostrel {

namespace {

const char* const kReleaseNotes = QT_TRANSLATE_NOOP("ostrel::Tf_version",
                                                    "V2.15\n"
                                                    "- 接收和发送窗口可停靠、可浮动，关闭后可从“显示”菜单重新打开\n"
                                                    "- 触发器：收到匹配的报文后自动发送应答，支持 ?? 和 ** 匹配符\n"
                                                    "- 收报定时保存为 receive0.dat、receive1.dat ...\n"
                                                    "- 过滤报文：只显示指定字节为指定值的报文\n"
                                                    "- 发报方式：单行、单行循环、随机选行，可定时发送\n"
                                                    "- 校验码：求和、纵向奇偶、CDT、MODBUS、DNP CRC，0x68 报文\n");

} // namespace

Tf_version::Tf_version(QWidget* parent)
    : QDialog(parent)
    , ProductLabel(new QLabel(tr("Ostrel-通用以太网UDP通信监测工具 V2.15版"), this))
    , NoticeLabel(new QLabel(tr("%1。本程序可自由使用和复制。").arg(CreditText()), this))
    , NotesMemo(new QPlainTextEdit(this))
    , OKButton(new QPushButton(QStringLiteral("OK"), this))
{
    setWindowTitle(tr("版本信息"));

    QFont productFont = ProductLabel->font();
    productFont.setBold(true);
    ProductLabel->setFont(productFont);

    NotesMemo->setReadOnly(true);
    NotesMemo->setAccessibleName(tr("版本说明"));
    NotesMemo->setPlainText(tr(kReleaseNotes));
    NotesMemo->setMinimumSize(380, 120);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ProductLabel);
    layout->addWidget(NoticeLabel);
    layout->addWidget(NotesMemo);
    layout->addLayout(buttons);

    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace ostrel
