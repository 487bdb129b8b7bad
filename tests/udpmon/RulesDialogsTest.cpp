#include "TestSupport.h"

#include "monitor/IntervalTimer.h"
#include "monitor/TriggerAnswers.h"
#include "monitor/u_trigger.h"
#include "udpmon/FrameLogPeriod.h"
#include "udpmon/u_filter.h"
#include "udpmon/u_save.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace ostrel;
using monitor::Tf_trigger;
using monitor::TriggerRules;
namespace TriggerMessage = monitor::TriggerMessage;

namespace {

// Closes the next `count` message boxes, one after the other, keeping their
// texts.
void CloseMessageBoxes(QStringList& texts, int count)
{
    if (count == 0)
        return;
    WhenModalOpens([&texts, count](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY2(box != nullptr, "the modal window is not a message box");
        texts.append(box->text());
        CloseMessageBoxes(texts, count - 1);
        box->accept();
    });
}

void TypeInto(QLineEdit* edit, const QString& text)
{
    edit->setFocus();
    QTest::keyClicks(edit, text);
}

} // namespace

class RulesDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void filterStartsOffAndEmpty();
    void filterFieldsAreRepairedAtOnce();
    void filterOkAndCancel();
    void triggerOkShowsEveryMessageAndStaysOpen();
    void triggerCancelKeepsTheRules();
    void triggerRowsOfKeptAnswers();
    void saveDialogFollowsTheTimer();
    void saveDialogRefusesMinutesOutOfRange();
    void saveDialogConversionErrorClosesIt();
    void saveTimerFiresAndKeepsLongPeriods();
};

void RulesDialogsTest::filterStartsOffAndEmpty()
{
    Tf_filter dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("过滤报文"));
    for (int row = 0; row < 3; ++row) {
        QVERIFY(!dialog.CheckBox[row]->isChecked());
        QCOMPARE(dialog.CheckBox[row]->text(), QStringLiteral("只显示第"));
        QVERIFY(!dialog.PositionEdit[row]->isEnabled());
        QVERIFY(!dialog.ValueEdit[row]->isEnabled());
        QVERIFY(!dialog.Label[2 * row]->isEnabled());
        QCOMPARE(dialog.Label[2 * row]->text(), QStringLiteral("个字节为"));
        QCOMPARE(dialog.Label[2 * row + 1]->text(), QStringLiteral("的报文"));
    }
    dialog.show();
    QTest::mouseClick(dialog.CheckBox[1], Qt::LeftButton);
    QVERIFY(dialog.PositionEdit[1]->isEnabled());
    QVERIFY(dialog.ValueEdit[1]->isEnabled());
    QVERIFY(dialog.Label[3]->isEnabled());
    QVERIFY(!dialog.PositionEdit[0]->isEnabled());
    QTest::mouseClick(dialog.CheckBox[1], Qt::LeftButton);
    QVERIFY(!dialog.ValueEdit[1]->isEnabled());
}

void RulesDialogsTest::filterFieldsAreRepairedAtOnce()
{
    Tf_filter dialog;
    dialog.show();
    QTest::mouseClick(dialog.CheckBox[0], Qt::LeftButton);
    QLineEdit* position = dialog.PositionEdit[0];
    QLineEdit* value = dialog.ValueEdit[0];

    const struct {
        QLineEdit* edit;
        QString typed;
        QString left;
    } cases[] = {
        {position, QStringLiteral("0"), QString()},
        {position, QStringLiteral("-"), QString()},
        {position, QStringLiteral("12"), QStringLiteral("12")},
        {position, QStringLiteral("$10"), QStringLiteral("10")}, // "$" alone is emptied
        {value, QStringLiteral("1G"), QString()},
        {value, QStringLiteral("100"), QString()},
        {value, QStringLiteral("0a"), QStringLiteral("0a")},
        {value, QStringLiteral("ff"), QStringLiteral("ff")},
    };
    for (const auto& c : cases) {
        c.edit->clear();
        TypeInto(c.edit, c.typed);
        QCOMPARE(c.edit->text(), c.left);
    }
    // "10" typed into a value emptied at "100": the third key empties it.
    value->clear();
    TypeInto(value, QStringLiteral("10"));
    QCOMPARE(value->text(), QStringLiteral("10"));
    QTest::keyClick(value, Qt::Key_0);
    QCOMPARE(value->text(), QString());
    // A pasted or set "$10" is a position of 16.
    position->setText(QStringLiteral("$10"));
    QCOMPARE(position->text(), QStringLiteral("$10"));
}

void RulesDialogsTest::filterOkAndCancel()
{
    Tf_filter dialog;
    dialog.show();
    QTest::mouseClick(dialog.CheckBox[0], Qt::LeftButton);
    TypeInto(dialog.PositionEdit[0], QStringLiteral("1"));
    TypeInto(dialog.ValueEdit[0], QStringLiteral("68"));
    QTest::mouseClick(dialog.CheckBox[2], Qt::LeftButton);
    TypeInto(dialog.PositionEdit[2], QStringLiteral("2")); // value left empty
    dialog.hide();

    std::optional<FilterRules> rules;
    WhenModalOpens([&](QWidget*) { QTest::mouseClick(dialog.BitBtn2, Qt::LeftButton); });
    rules = dialog.Ask();
    QVERIFY(rules.has_value());
    QVERIFY((*rules)[0].FilterRuleOn);
    QCOMPARE((*rules)[0].FilterValue, QStringLiteral("68"));
    QVERIFY(!(*rules)[2].FilterRuleOn);

    WhenModalOpens([&](QWidget*) {
        dialog.ValueEdit[0]->setText(QStringLiteral("10"));
        QTest::mouseClick(dialog.BitBtn1, Qt::LeftButton);
    });
    QVERIFY(!dialog.Ask().has_value());
    // Cancel keeps what the user typed for the next opening.
    QCOMPARE(dialog.ValueEdit[0]->text(), QStringLiteral("10"));
    QCOMPARE(dialog.Rules()[0].FilterValue, QStringLiteral("10"));
}

void RulesDialogsTest::triggerOkShowsEveryMessageAndStaysOpen()
{
    TriggerRules rules;
    Tf_trigger dialog(rules);
    QSignalSpy applied(&dialog, &Tf_trigger::RulesApplied);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("触发器"));
    QCOMPARE(dialog.Memo1->document()->blockCount(), 2);
    QVERIFY(!dialog.PatternEdit[0]->isEnabled());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QTest::mouseClick(dialog.CheckBox[0], Qt::LeftButton);
    QVERIFY(dialog.PatternEdit[0]->isEnabled() && dialog.ResponseEdit[0]->isEnabled() && dialog.Label[0]->isEnabled());
    dialog.PatternEdit[0]->setText(QStringLiteral("01 ?? ?? 02"));
    dialog.ResponseEdit[0]->setText(QStringLiteral("01"));
    QTest::mouseClick(dialog.CheckBox[1], Qt::LeftButton);
    dialog.PatternEdit[1]->setText(QStringLiteral("68 ** 16"));
    dialog.ResponseEdit[1]->setText(QStringLiteral("10 49 01 4A 16"));
    QTest::mouseClick(dialog.CheckBox[2], Qt::LeftButton);
    dialog.PatternEdit[2]->setText(QStringLiteral("01"));

    QStringList texts;
    CloseMessageBoxes(texts, 2);
    QTest::mouseClick(dialog.BitBtn2, Qt::LeftButton);
    QCOMPARE(texts, (QStringList{TriggerMessage::TwoWildcards, TriggerMessage::Empty}));
    QCOMPARE(applied.count(), 1);
    QVERIFY(dialog.isVisible());
    QVERIFY(!rules[0].Enabled);
    QVERIFY(rules[1].Enabled);
    QVERIFY(!rules[2].Enabled);

    QTest::mouseClick(dialog.CheckBox[0], Qt::LeftButton);
    QTest::mouseClick(dialog.CheckBox[2], Qt::LeftButton);
    QTest::mouseClick(dialog.BitBtn2, Qt::LeftButton);
    QCOMPARE(applied.count(), 2);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(rules[1].Enabled);
    QCOMPARE(rules[1].MultiBytePos, 2);
}

void RulesDialogsTest::triggerCancelKeepsTheRules()
{
    TriggerRules rules;
    Tf_trigger dialog(rules);
    dialog.show();
    QTest::mouseClick(dialog.CheckBox[0], Qt::LeftButton);
    dialog.PatternEdit[0]->setText(QStringLiteral("68 16"));
    dialog.ResponseEdit[0]->setText(QStringLiteral("01"));
    QTest::mouseClick(dialog.BitBtn1, Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QVERIFY(!rules[0].Enabled);
    QCOMPARE(dialog.PatternEdit[0]->text(), QStringLiteral("68 16"));
    QVERIFY(dialog.CheckBox[0]->isChecked());
}

// A monitor that keeps its rules: the rows start as kept, and OK keeps the
// rows it applied.
void RulesDialogsTest::triggerRowsOfKeptAnswers()
{
    monitor::TriggerAnswers answers;
    (void)answers.Apply({{{true, QStringLiteral("68 ** 16"), QStringLiteral("10 5B")},
                          {false, QStringLiteral("01"), QStringLiteral("02")},
                          {}}});
    Tf_trigger dialog(answers);
    QVERIFY(dialog.CheckBox[0]->isChecked() && dialog.PatternEdit[0]->isEnabled());
    QCOMPARE(dialog.PatternEdit[0]->text(), QStringLiteral("68 ** 16"));
    QCOMPARE(dialog.ResponseEdit[1]->text(), QStringLiteral("02"));
    QVERIFY(!dialog.CheckBox[1]->isChecked() && !dialog.ResponseEdit[1]->isEnabled());

    dialog.show();
    QTest::mouseClick(dialog.CheckBox[1], Qt::LeftButton);
    QTest::mouseClick(dialog.BitBtn2, Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(answers.Rows()[1], (monitor::TriggerRow{true, QStringLiteral("01"), QStringLiteral("02")}));
    QVERIFY(answers.Rules()[0].Enabled && answers.Rules()[1].Enabled);
}

void RulesDialogsTest::saveDialogFollowsTheTimer()
{
    monitor::IntervalTimer timer;
    Tf_save dialog(timer);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("定时收报对话框"));
    QCOMPARE(dialog.edit1->text(), QStringLiteral("60"));
    QCOMPARE(dialog.edit1->maxLength(), 5);
    QCOMPARE(dialog.Memo1->toPlainText().split(u'\n').size(), 5);

    dialog.CheckBox1->setChecked(true); // left over, but the timer is off
    dialog.show();
    QVERIFY(!dialog.CheckBox1->isChecked());
    QVERIFY(dialog.edit1->isHidden() && dialog.Label1->isHidden());
    QTest::mouseClick(dialog.CheckBox1, Qt::LeftButton);
    QVERIFY(dialog.edit1->isVisible() && dialog.Label1->isVisible());
    dialog.edit1->setText(QStringLiteral("0.5"));
    QTest::mouseClick(dialog.BitBtn2, Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QVERIFY(timer.Enabled());
    QCOMPARE(timer.Interval(), std::int64_t(30000));

    dialog.CheckBox1->setChecked(false);
    dialog.show();
    QVERIFY(dialog.CheckBox1->isChecked());
    QTest::mouseClick(dialog.CheckBox1, Qt::LeftButton);
    QTest::mouseClick(dialog.BitBtn1, Qt::LeftButton); // Cancel: still on
    QVERIFY(timer.Enabled());
    dialog.show();
    QTest::mouseClick(dialog.CheckBox1, Qt::LeftButton);
    QTest::mouseClick(dialog.BitBtn2, Qt::LeftButton);
    QVERIFY(!timer.Enabled());
}

void RulesDialogsTest::saveDialogRefusesMinutesOutOfRange()
{
    monitor::IntervalTimer timer;
    timer.SetInterval(6000);
    timer.SetEnabled(true);
    Tf_save dialog(timer);
    dialog.show();
    for (const QString& minutes : {QStringLiteral("71583"), QStringLiteral("-1")}) {
        dialog.edit1->setText(minutes);
        QStringList texts;
        CloseMessageBoxes(texts, 1);
        QTest::mouseClick(dialog.BitBtn2, Qt::LeftButton);
        QCOMPARE(texts, QStringList{kSaveMinutesMessage});
        QVERIFY(dialog.isVisible());
        QVERIFY(timer.Enabled());
        QCOMPARE(timer.Interval(), std::int64_t(6000));
    }
    dialog.edit1->setText(QStringLiteral("71582"));
    QTest::mouseClick(dialog.BitBtn2, Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(timer.Interval(), std::int64_t(71582) * 60000);
}

void RulesDialogsTest::saveDialogConversionErrorClosesIt()
{
    monitor::IntervalTimer timer;
    Tf_save dialog(timer);
    dialog.show();
    QTest::mouseClick(dialog.CheckBox1, Qt::LeftButton);
    dialog.edit1->setText(QStringLiteral("1,5"));
    QStringList texts;
    CloseMessageBoxes(texts, 1);
    QTest::mouseClick(dialog.BitBtn2, Qt::LeftButton);
    QCOMPARE(texts, QStringList{QStringLiteral("'1,5' is not a valid floating point value")});
    QVERIFY(!dialog.isVisible());
    QVERIFY(!timer.Enabled());
}

void RulesDialogsTest::saveTimerFiresAndKeepsLongPeriods()
{
    monitor::IntervalTimer timer;
    QSignalSpy ticks(&timer, &monitor::IntervalTimer::OnTimer);
    timer.SetInterval(20);
    timer.SetEnabled(true);
    QTRY_VERIFY(ticks.count() >= 2);
    timer.SetEnabled(false);

    // Longer than a QTimer can count: armed, not fired at once.
    ticks.clear();
    timer.SetInterval(std::int64_t(71582) * 60000);
    timer.SetEnabled(true);
    QTest::qWait(50);
    QCOMPARE(ticks.count(), 0);
    QVERIFY(timer.Enabled());
}

QTEST_MAIN(RulesDialogsTest)
#include "RulesDialogsTest.moc"
