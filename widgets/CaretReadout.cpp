#include "widgets/CaretReadout.h"

#include <QCoreApplication>

#include "widgets/TSMemo.h"

QString CaretReadoutText(int caretLine, int caretColumn)
{
    const int frame = caretLine + 1;
    const int byte = caretColumn / 3 + 1;
    return QCoreApplication::translate("CaretReadout", "第%1帧第%2字节").arg(frame).arg(byte);
}

void ConnectCaretReadout(TSMemo* memo, std::function<void(const QString&)> sink)
{
    const auto refresh = [memo, sink = std::move(sink)] {
        sink(CaretReadoutText(memo->CaretLine(), memo->CaretColumn()));
    };
    QObject::connect(memo, &TSMemo::mouseReleased, memo, refresh);
    QObject::connect(memo, &TSMemo::keyReleased, memo, refresh);
}
