#include "WindowProbes.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QWidget>

#include <sys/resource.h>

#include <algorithm>

namespace {

constexpr int kTickMs = 10;

} // namespace

double CpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long long RssKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& row : status.readAll().split('\n')) {
        if (row.startsWith("VmRSS:"))
            return row.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

void WithDialog(QAction* command, const std::function<void(QWidget*)>& fill)
{
    QTimer::singleShot(0, [fill] {
        if (QWidget* dialog = QApplication::activeModalWidget())
            fill(dialog);
    });
    command->trigger();
}

void RunUntil(const std::function<bool()>& done)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done())
            loop.quit();
    });
    poll.start(kTickMs);
    loop.exec();
}

StallProbe::StallProbe()
{
    ticker_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker_, &QTimer::timeout, [this] {
        worstMs_ = std::max(worstMs_, static_cast<double>(sinceTick_.nsecsElapsed()) / 1e6 - kTickMs);
        sinceTick_.restart();
    });
    sinceTick_.start();
    ticker_.start(kTickMs);
}

PaintCounter::PaintCounter(QWidget* widget)
    : widget_(widget)
{
    widget_->installEventFilter(this);
}

PaintCounter::~PaintCounter()
{
    widget_->removeEventFilter(this);
}

bool PaintCounter::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == widget_ && event->type() == QEvent::Paint)
        ++count_;
    return false;
}

PingProbe::PingProbe(double seconds)
{
    const QString probe = qEnvironmentVariable("XPING");
    if (probe.isEmpty() || QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    process_.start(probe, {qEnvironmentVariable("DISPLAY"), QString::number(QCoreApplication::applicationPid()),
                           QString::number(seconds), QStringLiteral("100")});
    if (!process_.waitForStarted())
        qFatal("x_ping did not start");
    started_ = true;
}

QString PingProbe::Result()
{
    if (!started_)
        return QStringLiteral("-");
    RunUntil([this] { return process_.state() == QProcess::NotRunning; });
    const QString out = QString::fromLatin1(process_.readAllStandardOutput());
    const QRegularExpression row(
        QStringLiteral("pings=(\\d+) pongs=(\\d+) p50_ms=([0-9.]+) p99_ms=[0-9.]+ max_ms=([0-9.]+)"));
    const QRegularExpressionMatch match = row.match(out);
    if (!match.hasMatch())
        return QStringLiteral("failed");
    return QStringLiteral("%1/%2,%3,%4").arg(match.captured(2), match.captured(1), match.captured(3), match.captured(4));
}
