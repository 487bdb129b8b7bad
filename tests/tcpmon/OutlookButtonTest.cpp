#include "tcpmon/TOutlookBtn.h"

#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

using namespace tamrel;

namespace {

// A 16 × 16 picture: white background (the bottom-left colour) with a red
// square in the middle.
QPixmap Picture()
{
    QPixmap picture(16, 16);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.fillRect(4, 4, 8, 8, Qt::red);
    return picture;
}

QImage Grab(QWidget& widget)
{
    return widget.grab().toImage();
}

} // namespace

class OutlookButtonTest : public QObject {
    Q_OBJECT

private slots:
    void defaults()
    {
        TOutlookBtn button(QStringLiteral("Btn_test"));
        QCOMPARE(button.Caption(), QStringLiteral("Btn_test"));
        QCOMPARE(button.size(), QSize(20, 20));
        QCOMPARE(button.Style(), TOutlookBtn::bsNormal);
    }

    void backgroundColourIsNotDrawnAndHoverFillsTheFace()
    {
        QWidget parent;
        parent.setAutoFillBackground(true);
        QPalette palette = parent.palette();
        palette.setColor(QPalette::Window, QColor(10, 20, 30));
        palette.setColor(QPalette::Button, QColor(200, 210, 220));
        parent.setPalette(palette);
        auto* button = new TOutlookBtn(QStringLiteral("Btn"), &parent);
        button->SetStyle(TOutlookBtn::bsOutlook);
        button->setFixedSize(56, 55);
        button->SetCaption(QString());
        button->SetBitmap(Picture());
        button->move(10, 10);
        parent.resize(80, 80);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        QTest::mouseMove(&parent, QPoint(2, 2));
        QTRY_VERIFY(!button->MouseOver());

        const QRect image = button->ImageRect();
        QCOMPARE(image.size(), QSize(16, 16));
        QCOMPARE(image.left(), (56 - 16) / 2);
        QImage idle = Grab(*button);
        // The white of the picture is transparent: the window shows through.
        QCOMPARE(idle.pixelColor(image.topLeft() + QPoint(1, 1)), QColor(10, 20, 30));
        QCOMPARE(idle.pixelColor(image.center()), QColor(Qt::red));

        QTest::mouseMove(button, QPoint(5, 5));
        QTRY_VERIFY(button->MouseOver());
        QImage hover = Grab(*button);
        QCOMPARE(hover.pixelColor(image.topLeft() + QPoint(1, 1)), QColor(200, 210, 220));

        // Pressed: the picture moves one pixel right and down.
        QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
        QImage pressed = Grab(*button);
        QCOMPARE(pressed.pixelColor(image.topLeft() + QPoint(4, 4)), QColor(200, 210, 220));
        QCOMPARE(pressed.pixelColor(image.topLeft() + QPoint(12, 12)), QColor(Qt::red));
        QSignalSpy clicked(button, &TOutlookBtn::clicked);
        QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(clicked.count(), 1);
    }

    void noneStyleCountsOnlyDrawnPixels()
    {
        TOutlookBtn button(QStringLiteral("Btn"));
        button.SetStyle(TOutlookBtn::bsNone);
        button.SetCaption(QString());
        button.setFixedSize(40, 40);
        button.SetBitmap(Picture());
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        const QRect image = button.ImageRect();
        QSignalSpy clicked(&button, &TOutlookBtn::clicked);
        QTest::mouseClick(&button, Qt::LeftButton, {}, image.topLeft() + QPoint(1, 1));
        QCOMPARE(clicked.count(), 0);
        QTest::mouseClick(&button, Qt::LeftButton, {}, image.center());
        QCOMPARE(clicked.count(), 1);
    }
};

QTEST_MAIN(OutlookButtonTest)
#include "OutlookButtonTest.moc"
