// Every shared capture decoded and compared field by field with what it is known to hold.
// Numbers are compared without "+": the gateway reports digits only.

#include "HexText.h"
#include "PduCodec.h"
#include "PduTestData.h"

#include <QTest>

using namespace Pdu;

Q_DECLARE_METATYPE(TCapture)

namespace {

QString str(const QJsonObject &o, const char *key)
{
    return o.value(QLatin1String(key)).toString();
}

bool has(const QJsonObject &o, const char *key)
{
    return o.contains(QLatin1String(key));
}

QString withoutPlus(QString s)
{
    return s.startsWith(u'+') ? s.mid(1) : s;
}


QString timeText(const QDateTime &t)
{
    return t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace

class TstPduCaptures : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void capture_data();
    void capture();
};

void TstPduCaptures::capture_data()
{
    QTest::addColumn<TCapture>("c");
    const QList<TCapture> captures = LoadCaptures();
    QVERIFY2(!captures.isEmpty(), "the shared captures cannot be read");
    for (const TCapture &c : captures)
        QTest::newRow(qPrintable(c.id)) << c;
}

void TstPduCaptures::capture()
{
    QFETCH(TCapture, c);
    const QJsonObject &e = c.expected;
    const TDecodeResult r = Decode(c.pdu);
    if (!c.valid()) {
        QVERIFY2(!r.ok(), qPrintable(str(e, "reason")));
        QVERIFY(!r.error.isEmpty());
        return;
    }
    QVERIFY2(r.ok(), qPrintable(r.error));
    const TDecodedPdu &m = *r.pdu;

    QCOMPARE(TypeName(m.type), str(e, "type"));
    QCOMPARE(m.smsc, withoutPlus(str(e, "smsc")));
    QCOMPARE(m.number, withoutPlus(str(e, "number")));
    QCOMPARE(m.tpduLength, e.value(QLatin1String("tpdu_length")).toInt());
    QCOMPARE(Hex::octet(m.firstOctet), str(e, "first_octet"));
    if (e.value(QLatin1String("smsc_toa")).isNull())
        QCOMPARE(m.smscType, -1);
    else
        QCOMPARE(Hex::octet(m.smscType), str(e, "smsc_toa"));
    QCOMPARE(Hex::octet(m.numberType), str(e, "number_toa"));
    QCOMPARE(m.alphanumeric, str(e, "number_toa") == QLatin1String("D0"));

    if (has(e, "timestamp"))
        QCOMPARE(timeText(m.timestamp), str(e, "timestamp"));
    if (has(e, "message_reference"))
        QCOMPARE(m.messageReference, e.value(QLatin1String("message_reference")).toInt());
    if (m.type == TPduType::StatusReport) {
        QCOMPARE(timeText(m.dischargeTime), str(e, "discharge_time"));
        QCOMPARE(Hex::octet(m.status), str(e, "status"));
        return; // no user data in these
    }

    QCOMPARE(Hex::octet(m.pid), str(e, "pid"));
    QCOMPARE(Hex::octet(m.dcs), str(e, "dcs"));
    QCOMPARE(m.udl, e.value(QLatin1String("udl")).toInt());
    QCOMPARE(CodingName(m.coding), str(e, "coding"));
    if (has(e, "text"))
        QCOMPARE(m.text, str(e, "text"));
    if (has(e, "data_hex")) {
        QCOMPARE(Hex::fromOctets(m.userData), str(e, "data_hex"));
        QCOMPARE(m.text, QString::fromLatin1(m.userData));
    }

    const QJsonValue udh = e.value(QLatin1String("udh"));
    if (udh.isNull()) {
        QVERIFY(m.udh.isEmpty());
        QVERIFY(!m.concat);
    } else {
        const QJsonObject u = udh.toObject();
        // The captures write the header with its UDHL octet in front.
        QCOMPARE(Hex::octet(int(m.udh.size())) + Hex::fromOctets(m.udh), str(u, "hex"));
        const QJsonObject concat = u.value(QLatin1String("concat")).toObject();
        QCOMPARE(bool(m.concat), !concat.isEmpty());
        if (m.concat) {
            QCOMPARE(m.concat->ref, concat.value(QLatin1String("ref")).toInt());
            QCOMPARE(m.concat->total, concat.value(QLatin1String("parts")).toInt());
            QCOMPARE(m.concat->seq, concat.value(QLatin1String("part")).toInt());
        }
    }

    if (m.type == TPduType::Submit) {
        const QString vpf = str(e, "vpf");
        if (vpf == QLatin1String("none"))
            QVERIFY(m.validityPeriod.isEmpty());
        else
            QCOMPARE(Hex::fromOctets(m.validityPeriod), str(e, "vp_hex"));
    }
}

QTEST_GUILESS_MAIN(TstPduCaptures)
#include "tst_pdu_captures.moc"
