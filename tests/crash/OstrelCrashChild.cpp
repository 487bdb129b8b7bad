// The Ostrel side of the crash-safety test: the real main window, set up as
// a user would through its dialogs (listening on PORT, timed save every
// 0.01 minute, a send window of many long lines marked ROUND, which the
// settings file keeps), then left running until SIGTERM closes it the
// normal way or SIGKILL ends it wherever it is.
#include "udpmon/MainActions.h"
#include "udpmon/u_csn.h"
#include "udpmon/u_main.h"
#include "udpmon/u_save.h"
#include "widgets/ErrorBoxApplication.h"
#include "widgets/TSMemo.h"
#include "widgets/TerminationSignals.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <functional>

using namespace ostrel;

namespace {

// Triggers a command whose modal dialog `fill` sets and confirms.
void WithDialog(QAction* command, const std::function<void(QWidget*)>& fill)
{
    QTimer::singleShot(0, [fill] {
        if (QWidget* dialog = QApplication::activeModalWidget())
            fill(dialog);
    });
    command->trigger();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s PORT ROUND LINES\n", argv[0]);
        return 2;
    }
    ErrorBoxApplication app(argc, argv);
    const QString port = QString::fromLatin1(argv[1]);
    const QString round = QString::fromLatin1(argv[2]);
    const int lineCount = QString::fromLatin1(argv[3]).toInt();

    TerminationSignals termination;
    Tf_main window;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &window, &QWidget::close);
    QObject::connect(&window, &Tf_main::Closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    window.show();

    QStringList lines;
    for (int i = 0; i < lineCount; ++i)
        lines << QStringLiteral("round %1 line %2 ").arg(round).arg(i) + QString(300, QLatin1Char('7'));
    window.SendMemo()->SetLines(lines);
    WithDialog(window.Actions().Btn_setupcom, [&port](QWidget* modal) {
        auto* dialog = qobject_cast<TF_csn*>(modal);
        dialog->Edit1->setText(port);
        dialog->BitBtn4->click();
    });
    WithDialog(window.Actions().N_intervalsave, [](QWidget* modal) {
        auto* dialog = qobject_cast<Tf_save*>(modal);
        if (!dialog->CheckBox1->isChecked())
            dialog->CheckBox1->click();
        dialog->edit1->setText(QStringLiteral("0.01"));
        dialog->BitBtn2->click();
    });
    window.Actions().N_opencom->trigger();
    if (!window.Listening()) {
        std::fprintf(stderr, "not listening on %s\n", argv[1]);
        return 3;
    }
    std::puts("ready");
    std::fflush(stdout);
    return ErrorBoxApplication::exec();
}
