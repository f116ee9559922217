// Planning an export: where each note goes, its number and its day, and orders whose time of
// receipt cannot be read. The cells themselves are checked on real workbooks (tst_note_export).

#include "DeliveryNotePlan.h"

#include <QTest>

using namespace Orders;

class TestNotePlan : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void anchors();
    void noteNumber_data();
    void noteNumber();
    void receiptDate_data();
    void receiptDate();
    void sequenceNumbers_data();
    void sequenceNumbers();
    void unreadableTimeStopsBeforeAnyNote();
};

namespace {

TNoteOrder Order(const QString &receivedAt, int lines, qint64 fid = 1)
{
    TNoteOrder order;
    order.customer = QStringLiteral("客户");
    order.receivedAt = receivedAt;
    order.deliveryDate = QStringLiteral("明天");
    for (int i = 1; i <= lines; ++i)
        order.items += QStringLiteral("item%1,%1,box;").arg(i);
    order.fid = fid;
    return order;
}

} // namespace

void TestNotePlan::anchors()
{
    const QList<int> expected { 2, 23, 42, 63, 82, 103, 122 };
    for (int k = 1; k <= expected.size(); ++k)
        QCOMPARE(NoteAnchorRow(k), expected[k - 1]);
    QCOMPARE(NoteAnchorRow(1000), 40 * 499 + 23);
}

void TestNotePlan::noteNumber_data()
{
    QTest::addColumn<int>("sequence");
    QTest::addColumn<QString>("number");
    QTest::newRow("1") << 1 << "NO:CK2024010601";
    QTest::newRow("9") << 9 << "NO:CK2024010609";
    QTest::newRow("10") << 10 << "NO:CK2024010610";
    QTest::newRow("123, no limit") << 123 << "NO:CK20240106123";
}

void TestNotePlan::noteNumber()
{
    QFETCH(int, sequence);
    QTEST(NoteNumber(QDate(2024, 1, 6), sequence), "number");
}

void TestNotePlan::receiptDate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date"); // invalid: not a date-time
    QTest::newRow("store form") << "2024-01-05 09:30:00" << QDate(2024, 1, 5);
    QTest::newRow("midnight: date alone") << "2024-01-05" << QDate(2024, 1, 5);
    QTest::newRow("short fields and slashes") << "2024/1/5 9:30:00" << QDate(2024, 1, 5);
    QTest::newRow("ISO") << "2024-01-05T09:30:00" << QDate(2024, 1, 5);
    QTest::newRow("surrounding blanks") << " 2024-01-05 09:30 \r\n" << QDate(2024, 1, 5);
    QTest::newRow("words") << "yesterday" << QDate();
    QTest::newRow("empty") << "" << QDate();
    QTest::newRow("month 13") << "2024-13-01 10:00:00" << QDate();
    QTest::newRow("29 February of a common year") << "2023-02-29" << QDate();
    QTest::newRow("hour 25") << "2024-01-05 25:00:00" << QDate();
    QTest::newRow("trailing words") << "2024-01-05 09:30:00 tomorrow" << QDate();
}

void TestNotePlan::receiptDate()
{
    QFETCH(QString, text);
    QTEST(ReceiptDate(text), "date");
}

void TestNotePlan::sequenceNumbers_data()
{
    QTest::addColumn<QStringList>("received"); // one order per entry, in visiting order
    QTest::addColumn<QList<int>>("lines");
    QTest::addColumn<QStringList>("numbers");

    QTest::newRow("same day") << QStringList { "2024-01-05 09:00:00", "2024-01-05 18:00:00" }
                              << QList<int> { 1, 1 }
                              << QStringList { "NO:CK2024010601", "NO:CK2024010602" };
    // Only consecutive notes of one day count on; a day seen earlier starts again at 01.
    QTest::newRow("days X, Y, X") << QStringList { "2024-01-05 09:00:00", "2024-03-01 09:00:00",
        "2024-01-05 10:00:00" } << QList<int> { 1, 1, 1 }
                                  << QStringList { "NO:CK2024010601", "NO:CK2024030201",
                                         "NO:CK2024010601" };
    QTest::newRow("notes of one order count on, and the next order too")
        << QStringList { "2024-01-05 09:00:00", "2024-01-05 12:00:00" } << QList<int> { 25, 3 }
        << QStringList { "NO:CK2024010601", "NO:CK2024010602", "NO:CK2024010603" };
    QTest::newRow("day after the end of February and of the year")
        << QStringList { "2024-02-28 23:59:59", "2023-12-31" } << QList<int> { 0, 0 }
        << QStringList { "NO:CK2024022901", "NO:CK2024010101" };
    QTest::newRow("past nine") << QStringList(11, QStringLiteral("2024-01-05 08:00:00"))
                               << QList<int>(11, 1)
                               << QStringList { "NO:CK2024010601", "NO:CK2024010602",
                                      "NO:CK2024010603", "NO:CK2024010604", "NO:CK2024010605",
                                      "NO:CK2024010606", "NO:CK2024010607", "NO:CK2024010608",
                                      "NO:CK2024010609", "NO:CK2024010610", "NO:CK2024010611" };
}

void TestNotePlan::sequenceNumbers()
{
    QFETCH(QStringList, received);
    QFETCH(QList<int>, lines);
    QFETCH(QStringList, numbers);

    TNotePlanner planner(NoteLayout::Plain);
    for (int i = 0; i < received.size(); ++i) {
        QString error;
        QVERIFY2(planner.WriteOrderNotes(Order(received[i], lines[i]), &error), qPrintable(error));
    }
    QStringList got;
    for (int k = 0; k < planner.Notes().size(); ++k) {
        const TNote &note = planner.Notes()[k];
        got << note.number;
        QCOMPARE(note.anchorRow, NoteAnchorRow(k + 1));
        // The number goes into the header row of its own note.
        bool written = false;
        for (const TNoteCell &cell : note.cells)
            written |=
                cell.row == note.anchorRow + 2 && cell.column == 10 && cell.value == note.number;
        QVERIFY(written);
    }
    QCOMPARE(got, numbers);
    QCOMPARE(planner.NoteCount(), int(numbers.size()));
}

void TestNotePlan::unreadableTimeStopsBeforeAnyNote()
{
    TNotePlanner planner(NoteLayout::Price);
    QString error;
    QVERIFY(planner.WriteOrderNotes(Order(QStringLiteral("2024-01-05 09:00:00"), 12), &error));
    QCOMPARE(planner.Notes().size(), 2);

    QVERIFY(!planner.WriteOrderNotes(Order(QStringLiteral("05.01.2024 9:00"), 3, 7), &error));
    QVERIFY2(error.contains(QStringLiteral("05.01.2024 9:00")), qPrintable(error));
    QCOMPARE(planner.Notes().size(), 2);
    QCOMPARE(planner.NoteCount(), 2);
    QCOMPARE(planner.NoteSeq(), 2);
    QCOMPARE(planner.NoteDay(), QStringLiteral("20240106"));
}

QTEST_GUILESS_MAIN(TestNotePlan)
#include "tst_note_plan.moc"
