// The one-line JSON of a decoded PDU: valid UTF-8 JSON whatever the text holds, the same
// fields the decoder found, and errors as {"type":"error"}.

#include "PduCodec.h"
#include "PduTestData.h"

#include <QTest>

using namespace Pdu;

namespace {

QJsonObject parsed(const QByteArray &line)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        qWarning("not a JSON object: %s (%s)", line.constData(), qPrintable(error.errorString()));
    return doc.object();
}

QString withoutPlus(QString s)
{
    return s.startsWith(u'+') ? s.mid(1) : s;
}

} // namespace

class TstPduJson : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void deliverFields();
    void textsSurviveEscaping_data();
    void textsSurviveEscaping();
    void errorObject();
    void submitAndStatusReport();
    void eightBitAsHex();
    void everyCapture();
};

void TstPduJson::deliverFields()
{
    const QByteArray line =
        ToJson(Decode(u"04916821F34405916821F30008425010214365230A050003A702014F60597D"));
    QVERIFY(!line.contains('\n'));
    const QJsonObject o = parsed(line);
    QCOMPARE(o.value("type").toString(), QStringLiteral("SMS-DELIVER"));
    QCOMPARE(o.value("smsc").toString(), QStringLiteral("86123"));
    QCOMPARE(o.value("number").toString(), QStringLiteral("86123"));
    QCOMPARE(o.value("text").toString(), u"你好"_qs);
    QCOMPARE(o.value("coding").toString(), QStringLiteral("ucs2"));
    QCOMPARE(o.value("timestamp").toString(), QStringLiteral("2024-05-01 12:34:56"));
    QCOMPARE(o.value("udh").toString(), QStringLiteral("050003A70201"));
    const QJsonObject concat = o.value("concat").toObject();
    QCOMPARE(concat.value("ref").toInt(), 0xA7);
    QCOMPARE(concat.value("total").toInt(), 2);
    QCOMPARE(concat.value("seq").toInt(), 1);
    QVERIFY(line.contains(u"你好"_qs.toUtf8())); // UTF-8 as it is, not escaped
}

void TstPduJson::textsSurviveEscaping_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("quotes and backslash") << u"say \"hi\" \\ bye"_qs << u"say \"hi\" \\ bye"_qs;
    QTest::newRow("line breaks and tab") << u"\ra\nb\tc"_qs << u"\ra\nb\tc"_qs;
    QTest::newRow("other controls") << QString(u"x\x01\x1Fy"_qs) << QString(u"x\x01\x1Fy"_qs);
    QTest::newRow("emoji") << u"ok 😀"_qs << u"ok 😀"_qs;
    QTest::newRow("lone surrogate") << QString(QChar(0xD83D)) << u"\uFFFD"_qs;
}

void TstPduJson::textsSurviveEscaping()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const QString pdu = BuildSubmit(QString(), QStringLiteral("123"), tdUCS2, text).pdu;
    const QByteArray line = ToJson(Decode(pdu));
    QVERIFY(!line.contains('\n') && !line.contains('\r'));
    QCOMPARE(parsed(line).value("text").toString(), expected);
}

void TstPduJson::errorObject()
{
    const TDecodeResult r = Decode(u"001C011C");
    const QJsonObject o = parsed(ToJson(r));
    QCOMPARE(o.size(), 2);
    QCOMPARE(o.value("type").toString(), QStringLiteral("error"));
    QCOMPARE(o.value("error").toString(), r.error);
    QVERIFY(o.value("error").toString().contains(QStringLiteral("TP-OA")));
}

void TstPduJson::submitAndStatusReport()
{
    const QJsonObject s = parsed(ToJson(Decode(u"04916821F31100038121F300080006006100620063")));
    QCOMPARE(s.value("type").toString(), QStringLiteral("SMS-SUBMIT"));
    QCOMPARE(s.value("tpdu_length").toInt(), 16);
    QVERIFY(s.value("timestamp").isNull());
    QVERIFY(s.value("udh").isNull());
    QVERIFY(s.value("concat").isNull());
    QCOMPARE(s.value("vp_hex").toString(), QStringLiteral("00"));

    const QJsonObject sr = parsed(ToJson(
        Decode(u"0791527422050000060911818967454365878967F5112112213012E11121122130122140")));
    QCOMPARE(sr.value("type").toString(), QStringLiteral("SMS-STATUS-REPORT"));
    QCOMPARE(sr.value("timestamp").toString(), QStringLiteral("2011-12-21 12:03:21"));
    QCOMPARE(sr.value("discharge_time").toString(), QStringLiteral("2011-12-21 12:03:21"));
    QCOMPARE(sr.value("status").toString(), QStringLiteral("40"));
    QCOMPARE(sr.value("message_reference").toInt(), 9);
}

void TstPduJson::eightBitAsHex()
{
    const QJsonObject o = parsed(ToJson(
        Decode(u"07912143658709F1040B918100551512F20004111010214365000AE8329BFD4697D9EC37DE")));
    QCOMPARE(o.value("coding").toString(), QStringLiteral("8bit"));
    QVERIFY(o.value("text").isNull());
    QCOMPARE(o.value("data_hex").toString(), QStringLiteral("E8329BFD4697D9EC37DE"));
}

void TstPduJson::everyCapture()
{
    const QList<TCapture> captures = LoadCaptures();
    QVERIFY(!captures.isEmpty());
    for (const TCapture &c : captures) {
        const QByteArray line = ToJson(Decode(c.pdu));
        QVERIFY2(!line.contains('\n'), qPrintable(c.id));
        const QJsonObject o = parsed(line);
        QVERIFY2(!o.isEmpty(), qPrintable(c.id));
        const QJsonObject &e = c.expected;
        if (!c.valid()) {
            QCOMPARE(o.value("type").toString(), QStringLiteral("error"));
            continue;
        }
        QCOMPARE(o.value("type").toString(), e.value("type").toString());
        QCOMPARE(o.value("smsc").toString(), withoutPlus(e.value("smsc").toString()));
        QCOMPARE(o.value("number").toString(), withoutPlus(e.value("number").toString()));
        QCOMPARE(o.value("tpdu_length").toInt(), e.value("tpdu_length").toInt());
        for (const char *key : { "text", "coding", "timestamp", "data_hex", "discharge_time" })
            if (e.contains(QLatin1String(key)))
                QCOMPARE(o.value(QLatin1String(key)), e.value(QLatin1String(key)));
        if (e.contains("udh")) {
            const QJsonValue udh = e.value("udh");
            QCOMPARE(o.value("udh").toString(), udh.toObject().value("hex").toString());
            const QJsonObject concat = udh.toObject().value("concat").toObject();
            if (concat.isEmpty()) {
                QVERIFY(o.value("concat").isNull());
            } else {
                const QJsonObject got = o.value("concat").toObject();
                QCOMPARE(got.value("ref"), concat.value("ref"));
                QCOMPARE(got.value("total"), concat.value("parts"));
                QCOMPARE(got.value("seq"), concat.value("part"));
            }
        }
    }
}

QTEST_GUILESS_MAIN(TstPduJson)
#include "tst_pdu_json.moc"
