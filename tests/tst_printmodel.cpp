#include <QtTest>

#include "job/printmodel.h"
#include "printing/curingtimetable.h"
#include "printing/printthread.h"

// The print model's frames, curing times and estimates, and the curing-time table's rules.
class TestPrintModel : public QObject
{
    Q_OBJECT

private slots:
    void framesTimesAndEstimates();
    void curingTimeTable();
};

void TestPrintModel::framesTimesAndEstimates()
{
    PrintModel model;
    model.loadConfiguration(3, 1000, 500, 500, 1500, false, false, 6000, 100, {});
    QCOMPARE(model.calcPrintTime(), 10500);
    QCOMPARE(model.currentElementId(), QStringLiteral("0"));
    model.nextFrame();
    QCOMPARE(model.currentElementId(), QStringLiteral("1"));
    QCOMPARE(model.remainingPrintTime(), 10500);

    // A base frame comes first and counts in the estimates; a map entry changes its frame only.
    model.loadConfiguration(3, 1000, 500, 500, 1500, false, true, 6000, 100, {{2, 3000}});
    QCOMPARE(model.getCurrentFrame(), -1);
    QCOMPARE(model.calcPrintTime(), 16500 + 2000);
    QCOMPARE(model.remainingPrintTime(), model.calcPrintTime());
    model.nextFrame();
    QCOMPARE(model.currentElementId(), QStringLiteral("base"));
    model.nextFrame();
    QCOMPARE(model.currentElementId(), QStringLiteral("1"));
    QCOMPARE(model.frameCuringTime(1), 1000);
    QCOMPARE(model.frameCuringTime(2), 3000);
    model.nextFrame();
    model.nextFrame();
    QCOMPARE(model.remainingPrintTime(), 3500 + 6000);
    model.reset();
    QCOMPARE(model.currentElementId(), QStringLiteral("base"));

    // Heights and estimates in 64 bits; the lift clears the object by 2.5 mm.
    model.loadConfiguration(2000000, 60000, 5000, 5000, 5000, true, false, 0, 100, {});
    QCOMPARE(model.getObjHeight(), 200000000LL);
    QVERIFY(model.calcPrintTime() > 100000000000LL);
    QCOMPARE(PrintThread::liftSteps(10000), 42);
    QCOMPARE(PrintThread::liftSteps(0), 9);
}

void TestPrintModel::curingTimeTable()
{
    using Rows = QList<CuringTimeRow>;
    const QString none;
    const auto times = [](const Rows &rows) { return readCuringTimes(rows); };
    QMap<int, int> expected;
    for (int frame = 1; frame <= 10; ++frame)
        expected.insert(frame, frame <= 3 ? 3000 : 2000);
    QCOMPARE(*times({{"1", "3", "3000"}, {none, none, none}, {"4", "10", "2000"}}), expected);
    QCOMPARE(times({{"3", "5", "100"}, {"1", "10", "2000"}})->value(4), 2000);
    // A start already named, a start after its end, a row filled in part, a time that is no
    // positive number, a range no job has: the table is refused.
    for (const Rows &rows : {Rows{{"1", "10", "2000"}, {"3", "5", "100"}}, Rows{{"5", "2", "100"}},
                             Rows{{none, none, "100"}}, Rows{{"1", "2", "abc"}},
                             Rows{{"1", "2", "0"}}, Rows{{"1", "2147483647", "100"}}})
        QVERIFY(!times(rows));
}

QTEST_GUILESS_MAIN(TestPrintModel)
#include "tst_printmodel.moc"
