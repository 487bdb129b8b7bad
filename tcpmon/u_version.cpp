#include "tcpmon/u_version.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace tamrel {

Tf_version::Tf_version(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(QStringLiteral("版本信息"));
    auto* title = new QLabel(QStringLiteral("Tamrel-通用TCP通信服务器监测工具  V1.5版"), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    auto* note = new QPlainTextEdit(this);
    note->setAccessibleName(QStringLiteral("版本说明"));
    note->setReadOnly(true);
    note->setPlainText(QStringLiteral("本版新增：\n"
                                      "1. 过滤报文功能，只显示指定字节为指定值的报文；\n"
                                      "2. 修正收报定时保存的问题；\n"
                                      "3. 改进窗口布局，接收区与发送区可拖动分隔。"));
    note->setFixedSize(360, 96);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(note);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace tamrel
