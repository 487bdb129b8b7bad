#include "TestSupport.h"

#include "udpmon/OstrelSettings.h"
#include "udpmon/u_main.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace ostrel;

TestDirectory::TestDirectory()
    : previous_(QDir::currentPath())
{
    if (!dir_.isValid() || !QDir::setCurrent(dir_.path()))
        qFatal("cannot enter a temporary folder");
}

TestDirectory::~TestDirectory()
{
    QDir::setCurrent(previous_);
}

QString TestDirectory::Path() const
{
    return dir_.path();
}

QString TestDirectory::SettingsPath() const
{
    return OstrelSettingsPath(dir_.path());
}

void TestDirectory::WriteSettings(const QByteArray& bytes) const
{
    QFile file(SettingsPath());
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the settings file");
}

QByteArray TestDirectory::ReadSettings() const
{
    QFile file(SettingsPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WhenModalOpens(std::function<void(QWidget*)> handle)
{
    QTimer::singleShot(0, [handle = std::move(handle)] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY2(modal != nullptr, "no modal window opened");
        handle(modal);
    });
}

void CloseNextMessageBox(SeenBox& box)
{
    WhenModalOpens([&box](QWidget* modal) {
        auto* message = qobject_cast<QMessageBox*>(modal);
        QVERIFY2(message != nullptr, "the modal window is not a message box");
        box.title = message->windowTitle();
        box.text = message->text();
        box.seen = true;
        message->accept();
    });
}

std::unique_ptr<Tf_main> OpenWindow()
{
    auto window = std::make_unique<Tf_main>();
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        qFatal("the main window was not shown");
    return window;
}
