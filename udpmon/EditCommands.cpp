#include "udpmon/EditCommands.h"

#include "udpmon/MainActions.h"
#include "widgets/TSMemo.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTextCursor>

namespace ostrel {

namespace {

// Runs an edit operation on the text control that has the input focus.
template <typename Operation>
void OnFocusedEditor(Operation operation)
{
    QWidget* focus = QApplication::focusWidget();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(focus))
        operation(memo);
    else if (auto* line = qobject_cast<QLineEdit*>(focus))
        operation(line);
}

void DeleteSelection(TSMemo* receive, TSMemo* send)
{
    TSMemo* memo = receive->hasFocus() ? receive : send;
    if (memo->isReadOnly())
        return;
    QTextCursor cursor = memo->textCursor();
    cursor.removeSelectedText();
    memo->setTextCursor(cursor);
}

} // namespace

void ConnectEditCommands(const MainActions& actions, QObject* context, TSMemo* receive, TSMemo* send)
{
    const MainActions& A = actions;
    for (QAction* copy : {A.Copy1, A.Copy2})
        QObject::connect(copy, &QAction::triggered, context, [] { OnFocusedEditor([](auto* e) { e->copy(); }); });
    for (QAction* cut : {A.Cut1, A.Cut2})
        QObject::connect(cut, &QAction::triggered, context, [] { OnFocusedEditor([](auto* e) { e->cut(); }); });
    for (QAction* paste : {A.Paste1, A.Paste2})
        QObject::connect(paste, &QAction::triggered, context, [] { OnFocusedEditor([](auto* e) { e->paste(); }); });
    for (QAction* selectAll : {A.SelectAll1, A.SelectAll2})
        QObject::connect(selectAll, &QAction::triggered, context,
                         [] { OnFocusedEditor([](auto* e) { e->selectAll(); }); });
    for (QAction* undo : {A.Undo1, A.Undo2})
        QObject::connect(undo, &QAction::triggered, context, [] { OnFocusedEditor([](auto* e) { e->undo(); }); });
    for (QAction* remove : {A.Delete1, A.Delete2})
        QObject::connect(remove, &QAction::triggered, context, [receive, send] { DeleteSelection(receive, send); });
}

} // namespace ostrel
