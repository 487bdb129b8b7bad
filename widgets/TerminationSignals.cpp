#include "widgets/TerminationSignals.h"

#include "platform/SignalPipe.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <cstdio>

void ReportOnStandardError(const std::exception& error)
{
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    const QByteArray line = QFile::encodeName(program) + ": " + error.what() + '\n';
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stderr);
    std::fflush(stderr);
}

TerminationSignals::TerminationSignals(QObject* parent)
    : QObject(parent)
    , pipe_(new SignalPipe({SIGTERM, SIGINT},
                           [this](int signalNumber) {
                               RejectModalWindows();
                               emit terminationRequested(signalNumber);
                           },
                           this))
{
}

TerminationSignals::~TerminationSignals() = default;

void TerminationSignals::RejectModalWindows()
{
    // Innermost first; each one rejected is hidden at once. The bound only
    // guards against a window that refuses to go.
    for (int left = 64; left > 0; --left) {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr)
            return;
        // Closed as by the window's close button: a box answers with its
        // escape button (No, Cancel); one without is rejected.
        modal->close();
        if (auto* dialog = qobject_cast<QDialog*>(modal); dialog != nullptr && dialog->isVisible())
            dialog->reject();
        if (modal->isVisible())
            return;
    }
}
