// The gateway's SMS-SUBMIT: field layout, the cuts to one message, and the way back
// through the decoder.

#include "PduCodec.h"

#include <QTest>

using namespace Pdu;

Q_DECLARE_METATYPE(TTP_DCS)

namespace {

// TP-UDL of a PDU built here: the octet right after TP-VP.
int udlOf(const TSubmitPdu &s)
{
    const TDecodeResult r = Decode(s.pdu);
    return r.ok() ? r.pdu->udl : -1;
}

QString repeated(const QString &unit, int times)
{
    QString s;
    for (int i = 0; i < times; ++i)
        s += unit;
    return s;
}

} // namespace

class TstPduSubmit : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void layout_data();
    void layout();
    void cutToOneMessage_data();
    void cutToOneMessage();
    void roundTrip_data();
    void roundTrip();
};

void TstPduSubmit::layout_data()
{
    QTest::addColumn<QString>("smsc");
    QTest::addColumn<QString>("tpDa");
    QTest::addColumn<TTP_DCS>("dcs");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pdu");
    QTest::addColumn<QString>("cmgsLen");
    QTest::newRow("ucs2") << "86123"
                          << "123" << tdUCS2 << "abc"
                          << "04916821F31100038121F300080006006100620063"
                          << "016";
    QTest::newRow("7-bit, destination 86") << "86123"
                                           << "86123" << td7_Bit << "hello"
                                           << "04916821F3110005916821F300000005E8329BFD06"
                                           << "016";
    // The leading "00" is the service-centre length and is not counted.
    QTest::newRow("no service centre") << ""
                                       << "123" << tdUCS2 << "abc"
                                       << "001100038121F300080006006100620063"
                                       << "016";
    QTest::newRow("blank service centre") << "  "
                                          << "123" << tdUCS2 << "abc"
                                          << "001100038121F300080006006100620063"
                                          << "016";
    // 8-bit data now carries its length and octets.
    QTest::newRow("8-bit") << "86123"
                           << "123" << td8_Bit << "abc"
                           << "04916821F31100038121F300150003616263"
                           << "013";
    QTest::newRow("13-digit service centre") << "8613800200500"
                                             << "123" << tdUCS2 << "a"
                                             << "0891683108200005F01100038121F3000800020061"
                                             << "012";
    QTest::newRow("even destination") << ""
                                      << "1234" << tdUCS2 << ""
                                      << "0011000481214300080000"
                                      << "010";
    QTest::newRow("empty destination") << ""
                                       << "" << tdUCS2 << ""
                                       << "001100008100080000"
                                       << "008";
    QTest::newRow("7-bit extension") << ""
                                     << "1" << td7_Bit << u"€"_qs << "0011000181F1000000029B32"
                                     << "011";
}

void TstPduSubmit::layout()
{
    QFETCH(QString, smsc);
    QFETCH(QString, tpDa);
    QFETCH(TTP_DCS, dcs);
    QFETCH(QString, text);
    QFETCH(QString, pdu);
    QFETCH(QString, cmgsLen);
    const TSubmitPdu s = BuildSubmit(smsc, tpDa, dcs, text);
    QCOMPARE(s.pdu, pdu);
    QCOMPARE(s.cmgsLen, cmgsLen);
    QCOMPARE(s.text, text);
}

void TstPduSubmit::cutToOneMessage_data()
{
    QTest::addColumn<TTP_DCS>("dcs");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("sent");
    QTest::addColumn<int>("udl");
    QTest::addColumn<int>("udOctets");

    const QString han = u"汉"_qs;
    const QString smile = u"😀"_qs;
    QTest::newRow("ucs2 71 cut to 70")
        << tdUCS2 << repeated(han, 71) << repeated(han, 70) << 0x8C << 140;
    QTest::newRow("ucs2 70 whole")
        << tdUCS2 << repeated(han, 70) << repeated(han, 70) << 0x8C << 140;
    QTest::newRow("ucs2 pair not split")
        << tdUCS2 << repeated(han, 69) + smile << repeated(han, 69) << 138 << 138;
    QTest::newRow("ucs2 pair just fits")
        << tdUCS2 << repeated(han, 68) + smile + han << repeated(han, 68) + smile << 140 << 140;
    QTest::newRow("7-bit 161 cut to 160")
        << td7_Bit << repeated("a", 161) << repeated("a", 160) << 0xA0 << 140;
    QTest::newRow("7-bit 7 characters") << td7_Bit << "abcdefg"
                                        << "abcdefg" << 7 << 7;
    QTest::newRow("7-bit 8 characters") << td7_Bit << "abcdefgh"
                                        << "abcdefgh" << 8 << 7;
    QTest::newRow("7-bit escape pair not split")
        << td7_Bit << repeated("a", 159) + u"€"_qs << repeated("a", 159) << 159 << 140;
    QTest::newRow("7-bit escape pair just fits")
        << td7_Bit << repeated("a", 158) + u"€x"_qs << repeated("a", 158) + u"€"_qs << 160 << 140;
    QTest::newRow("7-bit foreign characters as ?")
        << td7_Bit << u"naïve 中文"_qs << "na?ve ??" << 8 << 7;
    QTest::newRow("8-bit 141 cut to 140")
        << td8_Bit << repeated("x", 141) << repeated("x", 140) << 140 << 140;
    QTest::newRow("8-bit Latin-1 kept, others ?")
        << td8_Bit << u"Grüße 中😀"_qs << u"Grüße ??"_qs << 8 << 8;
}

void TstPduSubmit::cutToOneMessage()
{
    QFETCH(TTP_DCS, dcs);
    QFETCH(QString, text);
    QFETCH(QString, sent);
    QFETCH(int, udl);
    QFETCH(int, udOctets);
    const TSubmitPdu s =
        BuildSubmit(QStringLiteral("8613800200500"), QStringLiteral("13912345678"), dcs, text);
    QCOMPARE(s.text, sent);
    QCOMPARE(udlOf(s), udl);
    const TDecodeResult r = Decode(s.pdu);
    QVERIFY2(r.ok(), qPrintable(r.error));
    QCOMPARE(r.pdu->userData.size(), udOctets);
    QCOMPARE(r.pdu->text, sent); // what the recipient reads is what the caller is told
    QCOMPARE(s.cmgsLen.toInt(), r.pdu->tpduLength);
}

void TstPduSubmit::roundTrip_data()
{
    QTest::addColumn<QString>("smsc");
    QTest::addColumn<QString>("tpDa");
    QTest::addColumn<TTP_DCS>("dcs");
    QTest::addColumn<QString>("text");
    QTest::addColumn<TCoding>("coding");

    QTest::newRow("chinese ucs2") << "8613800200500"
                                  << "13912345678" << tdUCS2 << u"您好，订单已发货。"_qs
                                  << TCoding::Ucs2;
    QTest::newRow("emoji ucs2") << "8613800200500"
                                << "8613912345678" << tdUCS2 << u"ok 😀👍"_qs << TCoding::Ucs2;
    QTest::newRow("no smsc ucs2") << ""
                                  << "10086" << tdUCS2 << u"查询"_qs << TCoding::Ucs2;
    QTest::newRow("7-bit extension characters")
        << "86123"
        << "123" << td7_Bit << u"Price 5€ [ok] {x} ~^|\\ end"_qs << TCoding::Bit7;
    QTest::newRow("7-bit line breaks") << "86123"
                                       << "123" << td7_Bit << "a\r\nb\n"
                                       << TCoding::Bit7;
    QTest::newRow("7-bit empty") << "86123"
                                 << "123" << td7_Bit << "" << TCoding::Bit7;
    QTest::newRow("8-bit") << "86123"
                           << "123" << td8_Bit << u"Grüße"_qs << TCoding::Bit8;
    QTest::newRow("ucs2 empty") << "86123"
                                << "123" << tdUCS2 << "" << TCoding::Ucs2;
}

void TstPduSubmit::roundTrip()
{
    QFETCH(QString, smsc);
    QFETCH(QString, tpDa);
    QFETCH(TTP_DCS, dcs);
    QFETCH(QString, text);
    QFETCH(TCoding, coding);
    const TSubmitPdu s = BuildSubmit(smsc, tpDa, dcs, text);
    QCOMPARE(s.text, text);
    const TDecodeResult r = Decode(s.pdu);
    QVERIFY2(r.ok(), qPrintable(r.error));
    const TDecodedPdu &m = *r.pdu;
    QCOMPARE(m.type, TPduType::Submit);
    QCOMPARE(m.smsc, smsc);
    QCOMPARE(m.number, tpDa);
    QCOMPARE(m.numberType, tpDa.startsWith(QStringLiteral("86")) ? 0x91 : 0x81);
    QCOMPARE(m.text, text);
    QCOMPARE(m.coding, coding);
    QCOMPARE(m.firstOctet, 0x11);
    QCOMPARE(m.validityPeriod, QByteArray(1, '\0'));
    QVERIFY(m.udh.isEmpty());
    QCOMPARE(m.tpduLength, s.cmgsLen.toInt());
}

QTEST_GUILESS_MAIN(TstPduSubmit)
#include "tst_pdu_submit.moc"
