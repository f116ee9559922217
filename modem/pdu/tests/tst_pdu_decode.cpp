// Decoding by field layout: the worked examples, malformed PDUs refused with the field
// named, and every cut or damaged PDU giving a value or an error, never a crash.

#include "PduCodec.h"
#include "PduTestData.h"

#include <QTest>

using namespace Pdu;

namespace {

QString timeText(const QDateTime &t)
{
    return t.isValid() ? t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString();
}

// PDUs that decode; the loops below cut and damage each of them.
QStringList validPdus()
{
    QStringList out = {
        QStringLiteral("04916821F30405916821F3000842501021436523044F60597D"),
        QStringLiteral("04916821F34405916821F30008425010214365230A050003A702014F60597D"),
        QStringLiteral("000405916821F300004250102143652305E8329BFD06"),
        QStringLiteral("04916821F31100038121F300080006006100620063"),
        QStringLiteral("0006050381"
                       "21F3"
                       "42501021436523"
                       "42501021437523"
                       "00"
                       "04"
                       "05"
                       "E8329BFD06"),
    };
    for (const TCapture &c : LoadCaptures())
        if (c.valid())
            out.append(c.pdu);
    return out;
}

} // namespace

class TstPduDecode : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void decodes_data();
    void decodes();
    void sevenCharactersComeBackAsSeven();
    void statusReportWithUserData();
    void refused_data();
    void refused();
    void everyCutGivesValueOrError();
    void everyDamagedOctetGivesValueOrError();
};

void TstPduDecode::initTestCase()
{
    QVERIFY2(!LoadCaptures().isEmpty(), "the shared captures cannot be read");
}

void TstPduDecode::decodes_data()
{
    QTest::addColumn<QString>("pdu");
    QTest::addColumn<TPduType>("type");
    QTest::addColumn<QString>("smsc");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("timestamp");
    QTest::addColumn<int>("concatRef"); // -1: no concatenation element

    const QString hello = QStringLiteral("hello");
    const QString nihao = u"你好"_qs;
    QTest::newRow("ucs2 deliver, zone ignored")
        << "04916821F30405916821F3000842501021436523044F60597D" << TPduType::Deliver << "86123"
        << "86123" << nihao << "2024-05-01 12:34:56" << -1;
    QTest::newRow("header skipped, part reported alone")
        << "04916821F34405916821F30008425010214365230A050003A702014F60597D" << TPduType::Deliver
        << "86123"
        << "86123" << nihao << "2024-05-01 12:34:56" << 0xA7;
    // The header bit together with another flag still means a header.
    QTest::newRow("first octet 64 has a header")
        << "04916821F36405916821F30008425010214365230A050003A702014F60597D" << TPduType::Deliver
        << "86123"
        << "86123" << nihao << "2024-05-01 12:34:56" << 0xA7;
    QTest::newRow("no service centre, 7-bit")
        << "000405916821F300004250102143652305E8329BFD06" << TPduType::Deliver << ""
        << "86123" << hello << "2024-05-01 12:34:56" << -1;
    QTest::newRow("lowercase hex, blanks around")
        << "  000405916821f300004250102143652305e8329bfd06\r\n"
        << TPduType::Deliver << ""
        << "86123" << hello << "2024-05-01 12:34:56" << -1;
    QTest::newRow("own submit") << "04916821F31100038121F300080006006100620063" << TPduType::Submit
                                << "86123"
                                << "123"
                                << "abc"
                                << "" << -1;
    QTest::newRow("keypad digits in an address")
        << "000405811A2BF300004250102143652305E8329BFD06" << TPduType::Deliver << ""
        << "*1#23" << hello << "2024-05-01 12:34:56" << -1;
    QTest::newRow("header length 0 with the bit set")
        << "004405916821F300084250102143652303000041" << TPduType::Deliver << ""
        << "86123"
        << "A"
        << "2024-05-01 12:34:56" << -1;
    QTest::newRow("void concatenation element (part 0)")
        << "004405916821F30008425010214365230A050003A702004F60597D" << TPduType::Deliver << ""
        << "86123" << nihao << "2024-05-01 12:34:56" << -1;
    QTest::newRow("empty service-centre number with a type")
        << "01810405916821F300004250102143652305E8329BFD06" << TPduType::Deliver << ""
        << "86123" << hello << "2024-05-01 12:34:56" << -1;
}

void TstPduDecode::decodes()
{
    QFETCH(QString, pdu);
    QFETCH(TPduType, type);
    QFETCH(QString, smsc);
    QFETCH(QString, number);
    QFETCH(QString, text);
    QFETCH(QString, timestamp);
    QFETCH(int, concatRef);
    const TDecodeResult r = Decode(pdu);
    QVERIFY2(r.ok(), qPrintable(r.error));
    QVERIFY(r.error.isEmpty());
    const TDecodedPdu &m = *r.pdu;
    QCOMPARE(m.type, type);
    QCOMPARE(m.smsc, smsc);
    QCOMPARE(m.number, number);
    QCOMPARE(m.text, text);
    QCOMPARE(timeText(m.timestamp), timestamp);
    QCOMPARE(m.concat ? m.concat->ref : -1, concatRef);
    if (m.concat) {
        QCOMPARE(m.concat->total, 2);
        QCOMPARE(m.concat->seq, 1);
        QCOMPARE(m.udh, QByteArray::fromHex("0003A70201"));
    }
}

void TstPduDecode::sevenCharactersComeBackAsSeven()
{
    for (const QString &text : { QStringLiteral("abcdefg"), QStringLiteral("abcdefgabcdefg") }) {
        const TDecodeResult r =
            Decode(BuildSubmit(QString(), QStringLiteral("123"), td7_Bit, text).pdu);
        QVERIFY2(r.ok(), qPrintable(r.error));
        QCOMPARE(r.pdu->text, text); // no trailing NUL from the spare bits
    }
}

void TstPduDecode::statusReportWithUserData()
{
    const TDecodeResult r = Decode(validPdus().at(4));
    QVERIFY2(r.ok(), qPrintable(r.error));
    const TDecodedPdu &m = *r.pdu;
    QCOMPARE(m.type, TPduType::StatusReport);
    QCOMPARE(m.messageReference, 5);
    QCOMPARE(m.number, QStringLiteral("123"));
    QCOMPARE(timeText(m.timestamp), QStringLiteral("2024-05-01 12:34:56"));
    QCOMPARE(timeText(m.dischargeTime), QStringLiteral("2024-05-01 12:34:57"));
    QCOMPARE(m.status, 0);
    QCOMPARE(m.text, QStringLiteral("hello"));
}

void TstPduDecode::refused_data()
{
    QTest::addColumn<QString>("pdu");
    QTest::addColumn<QString>("field"); // what the error must name

    QTest::newRow("empty") << ""
                           << "empty";
    QTest::newRow("blanks only") << " \r\n"
                                 << "empty";
    QTest::newRow("odd digit count") << "000"
                                     << "odd";
    QTest::newRow("not hex") << "00G4"
                             << "position 3";
    QTest::newRow("service centre only") << "00"
                                         << "first octet";
    QTest::newRow("service centre cut") << "0791"
                                        << "service-centre address";
    QTest::newRow("service centre too long") << "0C91"
                                             << "service-centre address";
    QTest::newRow("address past the end") << "001C011C"
                                          << "TP-OA";
    QTest::newRow("address too long") << "000415916821F3"
                                      << "TP-OA";
    QTest::newRow("reserved message type") << "0003"
                                           << "TP-MTI";
    QTest::newRow("cut before the time stamp") << "000405916821F30000"
                                               << "TP-SCTS";
    QTest::newRow("month 13") << "000405916821F300004231102143652305E8329BFD06"
                              << "TP-SCTS";
    QTest::newRow("30 February") << "000405916821F300004220032143652305E8329BFD06"
                                 << "TP-SCTS";
    QTest::newRow("hour 25") << "000405916821F300004250105243652305E8329BFD06"
                             << "TP-SCTS";
    QTest::newRow("time stamp not decimal") << "000405916821F30000425A102143652305E8329BFD06"
                                            << "TP-SCTS";
    QTest::newRow("no TP-UDL") << "000405916821F3000042501021436523"
                               << "TP-UDL";
    QTest::newRow("7-bit data shorter than TP-UDL")
        << "000405916821F300004250102143652306E8329BFD06"
        << "TP-UD";
    QTest::newRow("ucs2 data shorter than TP-UDL")
        << "000405916821F300084250102143652308004100420043"
        << "TP-UD";
    QTest::newRow("7-bit TP-UDL above 160") << "000405916821F3000042501021436523A1"
                                            << "TP-UDL";
    QTest::newRow("ucs2 TP-UDL above 140") << "000405916821F30008425010214365238D"
                                           << "TP-UDL";
    QTest::newRow("header longer than the data") << "004405916821F300084250102143652304"
                                                    "0A000302"
                                                 << "TP-UDH";
    QTest::newRow("element runs past the header") << "004405916821F300084250102143652306"
                                                     "050004A70201"
                                                  << "TP-UDH";
    QTest::newRow("7-bit header beyond TP-UDL") << "004405916821F300004250102143652303"
                                                   "020000"
                                                << "TP-UDH";
    QTest::newRow("submit validity period cut") << "0019000381"
                                                   "21F3"
                                                   "0000"
                                                   "010203"
                                                << "TP-VP";
    QTest::newRow("submit without TP-MR") << "0011"
                                          << "TP-MR";
    QTest::newRow("status report cut in TP-DT") << "0006050381"
                                                   "21F3"
                                                   "42501021436523"
                                                   "425010"
                                                << "TP-DT";
    QTest::newRow("status report with a bad time stamp") << "0006050381"
                                                            "21F3"
                                                            "42511021436523"
                                                            "42501021437523"
                                                            "00"
                                                         << "TP-SCTS";
    QTest::newRow("status report announces data it lacks") << "0006050381"
                                                              "21F3"
                                                              "42501021436523"
                                                              "42501021437523"
                                                              "00"
                                                              "04"
                                                           << "TP-UDL";
}

void TstPduDecode::refused()
{
    QFETCH(QString, pdu);
    QFETCH(QString, field);
    const TDecodeResult r = Decode(pdu);
    QVERIFY(!r.ok());
    QVERIFY2(r.error.contains(field), qPrintable(r.error));
}

void TstPduDecode::everyCutGivesValueOrError()
{
    for (const QString &pdu : validPdus()) {
        const bool statusReport =
            Decode(pdu).ok() && Decode(pdu).pdu->type == TPduType::StatusReport;
        for (qsizetype len = 0; len < pdu.size(); ++len) {
            const TDecodeResult r = Decode(QStringView(pdu).left(len));
            QVERIFY2(r.ok() == r.error.isEmpty(), qPrintable(pdu.left(len) + u' ' + r.error));
            // A status report ends legally after TP-ST; any other cut PDU is refused.
            if (!statusReport)
                QVERIFY2(!r.ok(), qPrintable(pdu.left(len)));
        }
    }
}

void TstPduDecode::everyDamagedOctetGivesValueOrError()
{
    for (const QString &pdu : validPdus()) {
        for (qsizetype at = 0; at + 1 < pdu.size(); at += 2) {
            for (const char *octet : { "00", "7F", "80", "FF" }) {
                QString damaged = pdu;
                damaged.replace(at, 2, QLatin1String(octet));
                const TDecodeResult r = Decode(damaged);
                QVERIFY(r.ok() == r.error.isEmpty());
                // Whatever came out must print as one valid JSON object.
                QJsonParseError error;
                const QJsonDocument json = QJsonDocument::fromJson(ToJson(r), &error);
                QVERIFY2(error.error == QJsonParseError::NoError && json.isObject(),
                    qPrintable(damaged));
            }
        }
    }
}

QTEST_GUILESS_MAIN(TstPduDecode)
#include "tst_pdu_decode.moc"
