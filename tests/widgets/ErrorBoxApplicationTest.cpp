#include "widgets/ErrorBoxApplication.h"
#include "widgets/ShowMessage.h"

#include <QMainWindow>

#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <stdexcept>

// Commands throw; the application object shows the message and goes on.
class ErrorBoxApplicationTest : public QObject {
    Q_OBJECT

private slots:
    void exceptionFromAHandlerIsShownAndTheProgramGoesOn();
    void exceptionEscapingAnEventIsCaughtByTheApplication();
    void showErrorBoxUsesTheApplicationName();
    void boxesOpenOverTheProgramsOwnWindowWhenAnotherProgramIsActive();

private:
    struct SeenBox {
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QWidget* parent = nullptr;
    };
    // Closes the next message box and records what it showed.
    static void CloseNextBox(SeenBox& seen);
};

void ErrorBoxApplicationTest::CloseNextBox(SeenBox& seen)
{
    QTimer::singleShot(0, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY2(box != nullptr, "no error box opened");
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.parent = box->parentWidget();
        box->accept();
    });
}

void ErrorBoxApplicationTest::exceptionFromAHandlerIsShownAndTheProgramGoesOn()
{
    // A command run the guarded way, from a button.
    QPushButton button(QStringLiteral("throw"));
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&clicks] {
        RunShowingErrors([&clicks] {
            ++clicks;
            throw std::runtime_error("'12x' is not a valid integer value");
        });
    });
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));

    for (int round = 1; round <= 2; ++round) {
        SeenBox seen;
        CloseNextBox(seen);
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(clicks, round);
        QCOMPARE(seen.text, QStringLiteral("'12x' is not a valid integer value"));
        QCOMPARE(seen.title, QStringLiteral("测试程序"));
        QCOMPARE(seen.icon, QMessageBox::Critical);
    }
}

void ErrorBoxApplicationTest::exceptionEscapingAnEventIsCaughtByTheApplication()
{
    // A timer tick that throws reaches the application object's net.
    SeenBox seen;
    int ticks = 0;
    QTimer::singleShot(0, [&ticks] {
        ++ticks;
        throw std::runtime_error("Unable to write to /x/Ostrel.ini");
    });
    QTimer::singleShot(0, [&seen] { CloseNextBox(seen); });
    QTRY_COMPARE(seen.text, QStringLiteral("Unable to write to /x/Ostrel.ini"));
    QCOMPARE(ticks, 1);

    // Something that is not a std::exception is caught as well.
    SeenBox unknown;
    QTimer::singleShot(0, [] { throw 42; });
    QTimer::singleShot(0, [&unknown] { CloseNextBox(unknown); });
    QTRY_COMPARE(unknown.text, QStringLiteral("未知错误"));

    // The event loop still runs afterwards.
    bool later = false;
    QTimer::singleShot(0, [&later] { later = true; });
    QTRY_VERIFY(later);
}

void ErrorBoxApplicationTest::showErrorBoxUsesTheApplicationName()
{
    SeenBox seen;
    CloseNextBox(seen);
    ShowErrorBox(std::runtime_error("接收端口错误"));
    QCOMPARE(seen.title, QStringLiteral("测试程序"));
    QCOMPARE(seen.text, QStringLiteral("接收端口错误"));
}

void ErrorBoxApplicationTest::boxesOpenOverTheProgramsOwnWindowWhenAnotherProgramIsActive()
{
    QMainWindow main;
    main.setWindowFlag(Qt::WindowStaysOnTopHint);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    QWidget other;
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));

    // Another program is active: this program has no active window.
    QApplication::setActiveWindow(nullptr);
    QVERIFY(QApplication::activeWindow() == nullptr);
    SeenBox error;
    CloseNextBox(error);
    ShowErrorBox(QStringLiteral("Error 10053"));
    QCOMPARE(error.parent, &main);
    QApplication::setActiveWindow(nullptr);
    SeenBox message;
    CloseNextBox(message);
    ShowMessage(QStringLiteral("请输入正整数!"));
    QCOMPARE(message.parent, &main);

    // While the program is active the box opens over its active window.
    QApplication::setActiveWindow(&other);
    SeenBox overActive;
    CloseNextBox(overActive);
    ShowMessage(QStringLiteral("请输入正整数!"));
    QCOMPARE(overActive.parent, &other);
}

int main(int argc, char** argv)
{
    ErrorBoxApplication app(argc, argv);
    ErrorBoxApplication::setApplicationName(QStringLiteral("测试程序"));
    ErrorBoxApplicationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ErrorBoxApplicationTest.moc"
