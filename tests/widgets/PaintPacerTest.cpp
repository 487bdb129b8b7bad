// The receive window's paint pacing: a change right after another waits to
// be painted until the interval is over, never longer, and a pacer never
// keeps a widget's updates off that someone else switched off.
#include "widgets/PaintPacer.h"

#include <QTest>
#include <QWidget>

#include <memory>

namespace {

// Long enough that two calls in a row always fall within one interval.
constexpr int kIntervalMs = 1000;

} // namespace

class PaintPacerTest : public QObject {
    Q_OBJECT

private slots:
    void aChangeWithinTheIntervalIsPaintedWhenItIsOver();
    void anotherWidgetReleasesTheFirst();
    void updatesSwitchedOffElsewhereStayOff();
    void aWidgetDestroyedWhileHeldIsForgotten();
    void thePacerGoingAwayReleasesTheWidget();
};

void PaintPacerTest::aChangeWithinTheIntervalIsPaintedWhenItIsOver()
{
    PaintPacer pacer(kIntervalMs, nullptr);
    QWidget widget;
    pacer.Changed(&widget);
    QVERIFY(widget.updatesEnabled()); // the first change paints as usual
    pacer.Changed(&widget);
    QVERIFY(!widget.updatesEnabled());
    pacer.Changed(&widget);
    QVERIFY(!widget.updatesEnabled());
    QTRY_VERIFY(widget.updatesEnabled());
    // The interval that the release started holds the next change again.
    pacer.Changed(&widget);
    QVERIFY(!widget.updatesEnabled());
    QTRY_VERIFY(widget.updatesEnabled());
}

void PaintPacerTest::anotherWidgetReleasesTheFirst()
{
    PaintPacer pacer(kIntervalMs, nullptr);
    QWidget first;
    QWidget second;
    pacer.Changed(&first);
    pacer.Changed(&first);
    QVERIFY(!first.updatesEnabled());
    pacer.Changed(&second);
    QVERIFY(first.updatesEnabled());
    QVERIFY(!second.updatesEnabled());
    QTRY_VERIFY(second.updatesEnabled());
}

void PaintPacerTest::updatesSwitchedOffElsewhereStayOff()
{
    PaintPacer pacer(kIntervalMs, nullptr);
    QWidget widget;
    pacer.Changed(&widget);
    widget.setUpdatesEnabled(false);
    pacer.Changed(&widget);
    QTest::qWait(kIntervalMs + 200);
    QVERIFY(!widget.updatesEnabled());
}

void PaintPacerTest::aWidgetDestroyedWhileHeldIsForgotten()
{
    PaintPacer pacer(kIntervalMs, nullptr);
    auto widget = std::make_unique<QWidget>();
    pacer.Changed(widget.get());
    pacer.Changed(widget.get());
    widget.reset();
    QTest::qWait(kIntervalMs + 200);
    // The pacer still works for the next widget.
    QWidget next;
    pacer.Changed(&next);
    pacer.Changed(&next);
    QVERIFY(!next.updatesEnabled());
    QTRY_VERIFY(next.updatesEnabled());
}

void PaintPacerTest::thePacerGoingAwayReleasesTheWidget()
{
    QWidget widget;
    {
        PaintPacer pacer(kIntervalMs, nullptr);
        pacer.Changed(&widget);
        pacer.Changed(&widget);
        QVERIFY(!widget.updatesEnabled());
    }
    QVERIFY(widget.updatesEnabled());
}

QTEST_MAIN(PaintPacerTest)
#include "PaintPacerTest.moc"
