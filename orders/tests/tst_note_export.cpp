// The delivery-note export on the shipped templates, each workbook read back by an independent
// reader (openpyxl, through check_workbook.py): the filled cells, the copies of the note block
// at every anchor, and the orders reported as exported.

#include "DeliveryNoteExport.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Orders;

class TestNoteExport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void oneOrderThreeLines();
    void twentyFiveLines_data();
    void twentyFiveLines();
    void sequenceOverDaysAndAnchors();
    void itemLineShapes();
    void failuresLeaveNothingBehind_data();
    void failuresLeaveNothingBehind();

private:
    QJsonObject Check(const QString &file, NoteLayout layout, const QList<int> &anchors);
    TExportResult Export(NoteLayout layout, const QList<TNoteOrder> &orders);

    std::unique_ptr<QTemporaryDir> m_home;
    QString m_appDir;
    const QDateTime m_now { QDate(2024, 1, 6), QTime(10, 0, 0) };
};

namespace {

TNoteOrder Order(qint64 fid, const QString &receivedAt, const QString &items,
    const QString &customer = QStringLiteral("客户"), const QString &remark = QString())
{
    TNoteOrder order;
    order.fid = fid;
    order.customer = customer;
    order.receivedAt = receivedAt;
    order.deliveryDate = QStringLiteral("1月8日");
    order.items = items;
    order.remark = remark;
    return order;
}

QString Lines(int count)
{
    QString items;
    for (int i = 1; i <= count; ++i)
        items += QStringLiteral("品%1,%1,箱%1;").arg(i);
    return items;
}

QString Cell(int row, char column)
{
    return QLatin1Char(column) + QString::number(row);
}

} // namespace

void TestNoteExport::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    m_appDir = m_home->path() + QLatin1Char('/');
    QDir home(m_home->path());
    QVERIFY(home.mkpath(QStringLiteral("templatefile")));
    QVERIFY(home.mkpath(QStringLiteral("exportfile")));
    for (NoteLayout layout : { NoteLayout::Plain, NoteLayout::Price }) {
        const QString name = LayoutInfo(layout).templateName;
        QVERIFY(QFile::copy(QStringLiteral(ORDERS_TEMPLATE_DIR "/") + name,
            m_appDir + QStringLiteral("templatefile/") + name));
    }
}

TExportResult TestNoteExport::Export(NoteLayout layout, const QList<TNoteOrder> &orders)
{
    return WriteDeliveryNotes(m_appDir, layout, orders, m_now);
}

QJsonObject TestNoteExport::Check(const QString &file, NoteLayout layout, const QList<int> &anchors)
{
    const QString block =
        layout == NoteLayout::Plain ? QStringLiteral("A2:L16") : QStringLiteral("A2:J17");
    QStringList arguments { QStringLiteral(ORDERS_CHECKER), file, block };
    for (int anchor : anchors)
        arguments << QString::number(anchor);
    QProcess reader;
    reader.start(QStringLiteral(ORDERS_PYTHON), arguments);
    const bool finished = reader.waitForFinished(120000);
    const QByteArray errors = reader.readAllStandardError();
    if (!finished || reader.exitStatus() != QProcess::NormalExit || reader.exitCode() != 0) {
        qWarning("workbook reader failed: %s", errors.constData());
        return {};
    }
    const QJsonObject result = QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
    // Every copy of the block must match the template's block in all it carries.
    const QJsonObject problems = result.value(QStringLiteral("problems")).toObject();
    for (int anchor : anchors) {
        const QJsonArray found = problems.value(QString::number(anchor)).toArray();
        for (const QJsonValue &problem : found)
            qWarning("anchor %d: %s", anchor, qPrintable(problem.toString()));
        if (!found.isEmpty() || !problems.contains(QString::number(anchor)))
            return {};
    }
    // Nothing outside the notes, and no merged ranges beyond those of the copies.
    if (!result.value(QStringLiteral("outside")).toArray().isEmpty()) {
        qWarning("cells outside the notes: %s",
            QJsonDocument(result.value(QStringLiteral("outside")).toArray()).toJson().constData());
        return {};
    }
    const int blockMerges = result.value(QStringLiteral("blockMerges")).toInt();
    if (blockMerges == 0
        || result.value(QStringLiteral("merged")).toArray().size()
            != blockMerges * anchors.size()) {
        qWarning("merged ranges: %d per block, %lld in all", blockMerges,
            qlonglong(result.value(QStringLiteral("merged")).toArray().size()));
        return {};
    }
    return result;
}

void TestNoteExport::oneOrderThreeLines()
{
    const QString templatePath = m_appDir + QStringLiteral("templatefile/订单模版.xlsx");
    QFile templateFile(templatePath);
    QVERIFY(templateFile.open(QIODevice::ReadOnly));
    const QByteArray templateBytes = templateFile.readAll();
    templateFile.close();

    const TNoteOrder order = Order(41, QStringLiteral(" 2024-01-05 09:30:00 "),
        QStringLiteral(" 苹果,10,箱;梨, 5 ,斤; 香蕉,2.5,把;\r\n"), QStringLiteral(" A&B <公司> "),
        QStringLiteral("上午送\n到后门"));
    const TExportResult result = Export(NoteLayout::Plain, { order });
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.fileName, QStringLiteral("20240106100000.xlsx"));
    QCOMPARE(result.filePath, m_appDir + QStringLiteral("exportfile/20240106100000.xlsx"));
    QCOMPARE(result.exportedIds, QList<qint64> { 41 });

    const QJsonObject book = Check(result.filePath, NoteLayout::Plain, { 2 });
    QVERIFY(!book.isEmpty());
    QCOMPARE(book.value(QStringLiteral("active")).toInt(), 0);
    QCOMPARE(book.value(QStringLiteral("sheets")).toArray().size(), 2);
    const QJsonObject v = book.value(QStringLiteral("values")).toObject();
    QCOMPARE(v.value("B4").toString(), QStringLiteral("A&B <公司>"));
    QCOMPARE(v.value("G4").toString(), QStringLiteral("1月8日"));
    QCOMPARE(v.value("J4").toString(), QStringLiteral("NO:CK2024010601"));
    QCOMPARE(v.value("K6").toString(), QStringLiteral("上午送\n到后门"));
    const QStringList names { QStringLiteral("苹果"), QStringLiteral("梨"),
        QStringLiteral("香蕉") };
    const QStringList units { QStringLiteral("箱"), QStringLiteral("斤"), QStringLiteral("把") };
    const QList<double> quantities { 10, 5, 2.5 };
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(v.value(Cell(6 + i, 'B')).toString(), names[i]);
        QCOMPARE(v.value(Cell(6 + i, 'C')).toString(), units[i]);
        // Typed input: the quantity is stored as a number, so the template's total counts it.
        QVERIFY(v.value(Cell(6 + i, 'D')).isDouble());
        QCOMPARE(v.value(Cell(6 + i, 'D')).toDouble(), quantities[i]);
    }
    for (int row = 9; row <= 15; ++row)
        for (char column : { 'B', 'C', 'D', 'G', 'H', 'I' })
            QVERIFY2(!v.contains(Cell(row, column)), qPrintable(Cell(row, column)));
    QCOMPARE(v.value("D16").toString(), QStringLiteral("=SUM(D6:D15)+SUM(I6:I15)"));

    // The export works on a copy; the template stays as it was.
    QVERIFY(templateFile.open(QIODevice::ReadOnly));
    QCOMPARE(templateFile.readAll(), templateBytes);
    QCOMPARE(QDir(m_appDir + QStringLiteral("exportfile")).entryList(QDir::Files),
        QStringList { result.fileName });
}

void TestNoteExport::twentyFiveLines_data()
{
    QTest::addColumn<NoteLayout>("layout");
    QTest::addColumn<QList<int>>("anchors");
    QTest::addColumn<QList<int>>("linesPerNote");
    QTest::addColumn<QString>("headerColumns"); // customer, date, number, remark
    QTest::newRow("plain") << NoteLayout::Plain << QList<int> { 2, 23 } << QList<int> { 20, 5 }
                           << "BGJK";
    QTest::newRow("price") << NoteLayout::Price << QList<int> { 2, 23, 42 }
                           << QList<int> { 10, 10, 5 } << "BFHI";
}

void TestNoteExport::twentyFiveLines()
{
    QFETCH(NoteLayout, layout);
    QFETCH(QList<int>, anchors);
    QFETCH(QList<int>, linesPerNote);
    QFETCH(QString, headerColumns);

    const TExportResult result = Export(layout,
        { Order(7, QStringLiteral("2024-03-31 23:10:00"), Lines(25), QStringLiteral("李记"),
            QStringLiteral("分批送")) });
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.exportedIds, QList<qint64> { 7 });
    const QJsonObject book = Check(result.filePath, layout, anchors);
    QVERIFY(!book.isEmpty());
    const QJsonObject v = book.value(QStringLiteral("values")).toObject();

    const char customer = char(headerColumns[0].unicode());
    const char date = char(headerColumns[1].unicode());
    const char number = char(headerColumns[2].unicode());
    const char remark = char(headerColumns[3].unicode());
    int line = 1;
    for (int k = 0; k < anchors.size(); ++k) {
        const int a = anchors[k];
        QCOMPARE(v.value(Cell(a + 2, customer)).toString(), QStringLiteral("李记"));
        QCOMPARE(v.value(Cell(a + 2, date)).toString(), QStringLiteral("1月8日"));
        QCOMPARE(
            v.value(Cell(a + 2, number)).toString(), QStringLiteral("NO:CK202404010%1").arg(k + 1));
        QCOMPARE(v.value(Cell(a + 4, remark)).toString(), QStringLiteral("分批送"));
        for (int j = 0; j < 20; ++j) {
            // Lines 1 to 10 of a note in B C D, lines 11 to 20 in G H I (plain layout only).
            const int row = a + 4 + j % 10;
            const bool second = j >= 10;
            const char c1 = second ? 'G' : 'B', c2 = second ? 'H' : 'C', c3 = second ? 'I' : 'D';
            if (j < linesPerNote[k]) {
                QCOMPARE(v.value(Cell(row, c1)).toString(), QStringLiteral("品%1").arg(line));
                QCOMPARE(v.value(Cell(row, c2)).toString(), QStringLiteral("箱%1").arg(line));
                QCOMPARE(v.value(Cell(row, c3)).toDouble(), double(line));
                ++line;
            } else if (layout == NoteLayout::Plain || !second) {
                QVERIFY2(!v.contains(Cell(row, c1)) && !v.contains(Cell(row, c2))
                        && !v.contains(Cell(row, c3)),
                    qPrintable(Cell(row, c1)));
            }
        }
    }
    QCOMPARE(line, 26);
}

void TestNoteExport::sequenceOverDaysAndAnchors()
{
    // Days X, Y, X, X in visiting order: a day seen before starts again at 01.
    const QList<TNoteOrder> orders { Order(30, QStringLiteral("2024-01-05 08:00:00"), Lines(1)),
        Order(12, QStringLiteral("2024-02-10 08:00:00"), Lines(2)),
        Order(55, QStringLiteral("2024-01-05 09:00:00"), Lines(3)),
        Order(3, QStringLiteral("2024-01-05 23:59:59"), Lines(4)) };
    const TExportResult result = Export(NoteLayout::Plain, orders);
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.exportedIds, (QList<qint64> { 30, 12, 55, 3 }));

    const QJsonObject book = Check(result.filePath, NoteLayout::Plain, { 2, 23, 42, 63 });
    QVERIFY(!book.isEmpty());
    const QJsonObject v = book.value(QStringLiteral("values")).toObject();
    QCOMPARE(v.value("J4").toString(), QStringLiteral("NO:CK2024010601"));
    QCOMPARE(v.value("J25").toString(), QStringLiteral("NO:CK2024021101"));
    QCOMPARE(v.value("J44").toString(), QStringLiteral("NO:CK2024010601"));
    QCOMPARE(v.value("J65").toString(), QStringLiteral("NO:CK2024010602"));
    // Each note carries its own order's lines.
    QCOMPARE(v.value("D6").toDouble(), 1.0);
    QVERIFY(!v.contains("B7"));
    QCOMPARE(v.value("B28").toString(), QStringLiteral("品2"));
    QVERIFY(!v.contains("B29"));
    QCOMPARE(v.value("B48").toString(), QStringLiteral("品3"));
    QCOMPARE(v.value("B70").toString(), QStringLiteral("品4"));
    QCOMPARE(v.value("D77").toString(), QStringLiteral("=SUM(D67:D76)+SUM(I67:I76)"));
}

void TestNoteExport::itemLineShapes()
{
    // The header fields are free texts: what looks like a number stays as written.
    TNoteOrder numeric = Order(3, QStringLiteral("2024-01-05"), QString(), QStringLiteral("8848"));
    numeric.deliveryDate = QStringLiteral("1.10");
    const TExportResult result = Export(NoteLayout::Price,
        { Order(1, QStringLiteral("2024-01-05"), QStringLiteral("a,b,;p,3,r,s;x,1,y"),
              QStringLiteral("甲"), QStringLiteral("备注")),
            Order(2, QStringLiteral("2024-01-05"), QStringLiteral("no semicolon, at all"),
                QStringLiteral("乙"), QStringLiteral("只有备注")),
            numeric });
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.exportedIds, (QList<qint64> { 1, 2, 3 }));
    const QJsonObject book = Check(result.filePath, NoteLayout::Price, { 2, 23, 42 });
    QVERIFY(!book.isEmpty());
    const QJsonObject v = book.value(QStringLiteral("values")).toObject();

    // a,b, : part 1, the empty part 3, part 2.
    QCOMPARE(v.value("B6").toString(), QStringLiteral("a"));
    QVERIFY(!v.contains("C6"));
    QCOMPARE(v.value("D6").toString(), QStringLiteral("b"));
    // Four parts: the first three. The line after the last ";" is not printed.
    QCOMPARE(v.value("B7").toString(), QStringLiteral("p"));
    QCOMPARE(v.value("C7").toString(), QStringLiteral("r"));
    QCOMPARE(v.value("D7").toDouble(), 3.0);
    QVERIFY(!v.contains("B8") && !v.contains("C8") && !v.contains("D8"));
    QCOMPARE(v.value("F6").toString(), QStringLiteral("=IF(E6=\"\",\"\",D6*E6)"));

    // Without any ";" an order still gets its note, header and remark only.
    QCOMPARE(v.value("B25").toString(), QStringLiteral("乙"));
    QCOMPARE(v.value("H25").toString(), QStringLiteral("NO:CK2024010602"));
    QCOMPARE(v.value("I27").toString(), QStringLiteral("只有备注"));
    for (int row = 27; row <= 36; ++row)
        QVERIFY2(!v.contains(Cell(row, 'B')), qPrintable(Cell(row, 'B')));
    QCOMPARE(v.value("B44").toVariant(), QVariant(QStringLiteral("8848")));
    QCOMPARE(v.value("F44").toVariant(), QVariant(QStringLiteral("1.10")));
    QVERIFY(!v.contains("I46"));
}

void TestNoteExport::failuresLeaveNothingBehind_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("errorPart");
    QTest::newRow("nothing selected") << "none" << QStringLiteral("没有需要导出的数据！");
    QTest::newRow("unreadable time of receipt") << "time" << QStringLiteral("今天早上");
    QTest::newRow("file of the same name") << "exists" << QStringLiteral("20240106100000.xlsx");
    QTest::newRow("template missing") << "template" << QStringLiteral("订单模版.xlsx");
    QTest::newRow("export folder missing") << "folder" << QStringLiteral("exportfile");
    QTest::newRow("template not a workbook") << "broken" << QStringLiteral("20240106100000.xlsx");
}

void TestNoteExport::failuresLeaveNothingBehind()
{
    QFETCH(QString, failure);
    QFETCH(QString, errorPart);

    QList<TNoteOrder> orders { Order(1, QStringLiteral("2024-01-05 08:00:00"), Lines(2)),
        Order(2, QStringLiteral("2024-01-05 08:00:00"), Lines(1)) };
    const QString exportDir = m_appDir + QStringLiteral("exportfile/");
    const QString templatePath = m_appDir + QStringLiteral("templatefile/订单模版.xlsx");
    QStringList before;
    if (failure == QLatin1String("none")) {
        orders.clear();
    } else if (failure == QLatin1String("time")) {
        orders[1].receivedAt = QStringLiteral("今天早上");
    } else if (failure == QLatin1String("exists")) {
        QFile earlier(exportDir + QStringLiteral("20240106100000.xlsx"));
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier export");
        earlier.close();
        before << earlier.fileName().mid(exportDir.size());
    } else if (failure == QLatin1String("template")) {
        QVERIFY(QFile::remove(templatePath));
    } else if (failure == QLatin1String("folder")) {
        QVERIFY(QDir(exportDir).removeRecursively());
    } else if (failure == QLatin1String("broken")) {
        QVERIFY(QFile::remove(templatePath));
        QFile broken(templatePath);
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("not a zip archive");
    }

    const TExportResult result = Export(NoteLayout::Plain, orders);
    QVERIFY(!result.ok);
    QVERIFY2(result.error.contains(errorPart), qPrintable(result.error));
    QVERIFY(result.exportedIds.isEmpty());
    QCOMPARE(QDir(exportDir).entryList(QDir::Files), before);
    if (failure == QLatin1String("exists")) {
        QFile earlier(exportDir + before.first());
        QVERIFY(earlier.open(QIODevice::ReadOnly));
        QCOMPARE(earlier.readAll(), QByteArray("earlier export"));
    }
}

QTEST_GUILESS_MAIN(TestNoteExport)
#include "tst_note_export.moc"
