#include "monitor/CheckCodeLine.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

namespace monitor {

std::optional<QString> ApplyCheckCodeToCaretLine(QPlainTextEdit& memo, int caretLine, CheckCodeCommand command,
                                                 CaretAfterCheckCode caret)
{
    const QTextBlock block = memo.document()->findBlockByNumber(caretLine);
    if (!block.isValid())
        return std::nullopt;
    const QByteArray line = block.text().toUtf8();
    const CheckCodeResult result = command(std::string_view(line.constData(), static_cast<std::size_t>(line.size())));
    switch (result.kind) {
    case CheckCodeResult::Kind::Unchanged:
        return std::nullopt;
    case CheckCodeResult::Kind::Message:
        return QString::fromUtf8(result.text.data(), static_cast<qsizetype>(result.text.size()));
    case CheckCodeResult::Kind::Replaced:
        break;
    }
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(QString::fromUtf8(result.text.data(), static_cast<qsizetype>(result.text.size())));
    if (caret == CaretAfterCheckCode::EndOfLine)
        memo.setTextCursor(cursor);
    return std::nullopt;
}

} // namespace monitor
