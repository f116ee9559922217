// The export of the phone book to .xlsx: its layout as another program reads it, and the round
// trip export -> import.

#include "TestWorkbooks.h"
#include "PhoneBookExport.h"
#include "PhoneBookImport.h"
#include "PhoneBookLayout.h"
#include "StoreFixture.h"
#include "StoreText.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTest>

using namespace Contacts;
using Table = QList<QVariantList>;

class TestPhoneBookExport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void roundTripAddsNothing();
    void roundTripIntoAnEmptyPhoneBook();
    void anotherProgramReadsTheLayout();
    void emptyPhoneBook();
    void failures();

private:
    void seed();
    static Table contactsOf(StoreFixture &fixture);

    std::unique_ptr<StoreFixture> f;
    std::unique_ptr<TMessageStore> store;
};

void TestPhoneBookExport::init()
{
    f = std::make_unique<StoreFixture>();
    store = f->openStore();
    QVERIFY(store->isOpen(TMessageStore::TConnection::Cmd));
}

void TestPhoneBookExport::cleanup()
{
    store.reset();
    f.reset();
}

// Contacts as the grid and earlier imports leave them: blanks around numbers, empty and
// missing values, line breaks, quotes of both kinds, texts that look like numbers or escapes.
void TestPhoneBookExport::seed()
{
    const Table rows {
        { "张三", "13800138000", "010-62345678", "北方公司", "经理", "老客户", "同事" },
        { "赵六", "13900139000 ", QVariant(), QVariant(), QVariant(), QVariant(), "同事" },
        { "", " 1370013700", "", "", "", "第一行\r\n第二行\n第三行", "" },
        { "O'Brien \"Bob\"", "13600136000", "007", "_x0041_", "  ", "😀", " 朋友" },
        { "长", "1360013600", "1.5e3", QString(200, u'单'), "", QString(5000, u'备'), "家人" },
    };
    for (const QVariantList &row : rows)
        QVERIFY(f->exec("insert into PHONE_BOOK (FNAME, FMOBILE, FPHONE, FUNIT, FTITLE, FDEMO, "
                        "FGROUP) values (?, ?, ?, ?, ?, ?, ?)",
            row));
    QVERIFY(f->exec("insert into SM_TO_SP_FR (TP_DA) values ('同事'), (' 朋友'), ('家人')"));
}

Table TestPhoneBookExport::contactsOf(StoreFixture &fixture)
{
    return fixture.rows("select ID, FNAME, FMOBILE, FPHONE, FUNIT, FTITLE, FDEMO, FGROUP from "
                        "PHONE_BOOK order by ID");
}

void TestPhoneBookExport::roundTripAddsNothing()
{
    seed();
    const Table before = contactsOf(*f);
    const Table groupsBefore = f->rows("select ID, TP_DA from SM_TO_SP_FR order by ID");
    const QString path = f->dirPath() + "/通讯录.xlsx";

    const TExportResult exported = ExportPhoneBook(*store, path);
    QVERIFY2(exported.ok, qPrintable(exported.reason));
    QCOMPARE(exported.message, QString("通讯录导出成功！"));
    QCOMPARE(exported.contacts, 5);

    const TImportResult imported = ImportPhoneBook(*store, path);
    QCOMPARE(imported.outcome, TImportOutcome::Imported);
    QCOMPARE(imported.dataRows, 5);
    QCOMPARE(imported.skippedDuplicate, 5);
    QCOMPARE(imported.imported, 0);
    QCOMPARE(contactsOf(*f), before);
    QCOMPARE(f->rows("select ID, TP_DA from SM_TO_SP_FR order by ID"), groupsBefore);
    QCOMPARE(f->reports, QStringList());
}

void TestPhoneBookExport::roundTripIntoAnEmptyPhoneBook()
{
    seed();
    const QString path = f->dirPath() + "/export.xlsx";
    QVERIFY(ExportPhoneBook(*store, path).ok);

    StoreFixture other;
    std::unique_ptr<TMessageStore> otherStore = other.openStore();
    const TImportResult imported = ImportPhoneBook(*otherStore, path);
    QCOMPARE(imported.imported, 5);
    QCOMPARE(imported.groupsCreated, 3);

    // Every value comes back as it was, as text: a missing value as the empty text, and a
    // double quote as the import's exec routine stores it.
    Table expected;
    for (QVariantList row : contactsOf(*f)) {
        for (qsizetype i = 1; i < row.size(); ++i)
            row[i] = StoreText::ReplaceDoubleQuotes(row.at(i).toString());
        expected << row;
    }
    QCOMPARE(contactsOf(other), expected);
    QCOMPARE(other.reports, QStringList());
}

void TestPhoneBookExport::anotherProgramReadsTheLayout()
{
    QVERIFY(
        f->exec("insert into PHONE_BOOK (FNAME, FMOBILE, FPHONE, FGROUP) values "
                "('张三', '13800138000', ' 0755 ', '同事'), ('李四', '13900139000', NULL, '')"));
    const QString path = f->dirPath() + "/layout.xlsx";
    QVERIFY(ExportPhoneBook(*store, path).ok);

    QString error;
    const std::optional<QJsonDocument> dump = TestWorkbooks::Dump(path, &error);
    QVERIFY2(dump, qPrintable(error));
    QCOMPARE(dump->object().value("sheet").toString(), QString("通讯录"));
    // Every cell is a text, so the numbers keep their digits and blanks.
    const QJsonArray expected {
        QJsonArray { "姓名", "手机号码", "电话", "工作单位", "职务", "备注", "通讯组" },
        QJsonArray { "张三", "13800138000", " 0755 ", "", "", "", "同事" },
        QJsonArray { "李四", "13900139000", "", "", "", "", "" },
    };
    QCOMPARE(dump->object().value("rows").toArray(), expected);
}

void TestPhoneBookExport::emptyPhoneBook()
{
    const QString path = f->dirPath() + "/empty.xlsx";
    const TExportResult exported = ExportPhoneBook(*store, path);
    QVERIFY(exported.ok);
    QCOMPARE(exported.contacts, 0);
    const TImportResult imported = ImportPhoneBook(*store, path);
    QCOMPARE(imported.outcome, TImportOutcome::Imported);
    QCOMPARE(imported.dataRows, 0);
}

void TestPhoneBookExport::failures()
{
    TExportResult result = ExportPhoneBook(*store, f->dirPath() + "/no/such/folder/x.xlsx");
    QVERIFY(!result.ok);
    QCOMPARE(result.message, QString("通讯录导出失败，请检查文件是否可以写入后重试！"));
    QVERIFY(!result.reason.isEmpty());

    QVERIFY(f->exec("drop table PHONE_BOOK"));
    const QString path = f->dirPath() + "/never.xlsx";
    result = ExportPhoneBook(*store, path);
    QVERIFY(!result.ok);
    QCOMPARE(f->reports.size(), 1);
    QVERIFY(f->reports.first().startsWith("数据库操作出错！\nselect fname,fmobile"));
    QVERIFY(!QFile::exists(path));
}

QTEST_GUILESS_MAIN(TestPhoneBookExport)
#include "tst_phonebook_export.moc"
