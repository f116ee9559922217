// The unit routines: semi-octets, hex numbers, the GSM alphabet and its packing, UCS2,
// and the reading of TP-DCS.

#include "DataCoding.h"
#include "Gsm7Alphabet.h"
#include "PduCodec.h"
#include "SeptetPacking.h"

#include <QTest>

using namespace Pdu;

class TstPduUnits : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void encodeSemiOctets_data();
    void encodeSemiOctets();
    void decodeSemiOctets_data();
    void decodeSemiOctets();
    void hexToInt_data();
    void hexToInt();
    void encode7Bit_data();
    void encode7Bit();
    void decode7Bit_data();
    void decode7Bit();
    void decode7BitRefusesWhatItCannotRead_data();
    void decode7BitRefusesWhatItCannotRead();
    void wholeAlphabetRoundTrips();
    void packingWithFillBitsRoundTrips();
    void ucs2_data();
    void ucs2();
    void decodeUcs2_data();
    void decodeUcs2();
    void dataCodingGroups_data();
    void dataCodingGroups();
};

void TstPduUnits::encodeSemiOctets_data()
{
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QString>("expected");
    QTest::newRow("even") << "8613"
                          << "6831";
    QTest::newRow("odd gets F") << "123"
                                << "21F3";
    QTest::newRow("blanks and controls trimmed") << " \t123\r\n"
                                                 << "21F3";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("only blanks") << "  "
                                 << "";
    QTest::newRow("inner blank kept") << "1 2"
                                      << " 1F2";
}

void TstPduUnits::encodeSemiOctets()
{
    QFETCH(QString, digits);
    QFETCH(QString, expected);
    QCOMPARE(EncodeSemiOctets(digits), expected);
}

void TstPduUnits::decodeSemiOctets_data()
{
    QTest::addColumn<QString>("semiOctets");
    QTest::addColumn<QString>("expected");
    QTest::newRow("even") << "6831"
                          << "8613";
    QTest::newRow("filler removed") << "21F3"
                                    << "123";
    QTest::newRow("last single dropped") << "21F"
                                         << "12";
    QTest::newRow("lowercase filler") << "21f3"
                                      << "123";
    QTest::newRow("empty") << ""
                           << "";
}

void TstPduUnits::decodeSemiOctets()
{
    QFETCH(QString, semiOctets);
    QFETCH(QString, expected);
    QCOMPARE(DecodeSemiOctets(semiOctets), expected);
}

void TstPduUnits::hexToInt_data()
{
    QTest::addColumn<QString>("hex");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::newRow("upper") << "8C" << true << 140;
    QTest::newRow("lower") << "a0" << true << 160;
    QTest::newRow("leading zeros") << "0000000F" << true << 15;
    QTest::newRow("largest") << "7FFFFFFF" << true << 0x7FFFFFFF;
    QTest::newRow("overflow") << "80000000" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("not hex") << "1G" << false << 0;
    QTest::newRow("blank") << " 1" << false << 0;
}

void TstPduUnits::hexToInt()
{
    QFETCH(QString, hex);
    QFETCH(bool, ok);
    QFETCH(int, value);
    int v = -12345;
    QCOMPARE(HexToInt(hex, &v), ok);
    QCOMPARE(v, ok ? value : -12345); // untouched on failure
}

void TstPduUnits::encode7Bit_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("packed");
    QTest::addColumn<int>("septets");
    QTest::newRow("hello") << "hello"
                           << "E8329BFD06" << 5;
    QTest::newRow("seven fill seven octets") << "hellohe"
                                             << "E8329BFD469701" << 7;
    QTest::newRow("eight fill seven octets") << "hellohel"
                                             << "E8329BFD4697D9" << 8;
    QTest::newRow("at sign is septet 0") << "@@"
                                         << "0000" << 2;
    QTest::newRow("euro takes an escape") << u"€"_qs << "9B32" << 2;
    QTest::newRow("alphabet lacks it") << u"中"_qs << "3F" << 1;
    QTest::newRow("surrogate pair is one character") << u"😀"_qs << "3F" << 1;
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << "3F" << 1;
    QTest::newRow("empty") << ""
                           << "" << 0;
}

void TstPduUnits::encode7Bit()
{
    QFETCH(QString, text);
    QFETCH(QString, packed);
    QFETCH(int, septets);
    QCOMPARE(Encode7Bit(text), packed);
    QCOMPARE(Gsm7Length(text), septets);
}

void TstPduUnits::decode7Bit_data()
{
    QTest::addColumn<QString>("hex");
    QTest::addColumn<int>("septets");
    QTest::addColumn<int>("fillBits");
    QTest::addColumn<QString>("expected");
    QTest::newRow("hello") << "E8329BFD06" << 5 << 0 << "hello";
    // Seven characters fill seven octets; TP-UDL says 7, so no NUL comes back.
    QTest::newRow("seven without NUL") << "E8329BFD469701" << 7 << 0 << "hellohe";
    QTest::newRow("eight") << "E8329BFD4697D9" << 8 << 0 << "hellohel";
    QTest::newRow("fewer than the octets hold") << "E8329BFD06" << 3 << 0 << "hel";
    QTest::newRow("extension table") << "9B32" << 2 << 0 << u"€"_qs;
    QTest::newRow("unknown extension code shows the basic character") << "9B20" << 2 << 0 << "A";
    QTest::newRow("escape at the end is a blank") << "1B" << 1 << 0 << " ";
    QTest::newRow("greek and specials") << "9004" << 2 << 0 << u"ΔÇ"_qs;
    // "hi" behind one fill bit: septets 0x68 0x69 shifted left by one bit.
    QTest::newRow("one fill bit") << "D069" << 2 << 1 << "hi";
    QTest::newRow("zero septets") << "" << 0 << 0 << "";
}

void TstPduUnits::decode7Bit()
{
    QFETCH(QString, hex);
    QFETCH(int, septets);
    QFETCH(int, fillBits);
    QFETCH(QString, expected);
    const std::optional<QString> text = Decode7Bit(hex, septets, fillBits);
    QVERIFY(text.has_value());
    QCOMPARE(*text, expected);
}

void TstPduUnits::decode7BitRefusesWhatItCannotRead_data()
{
    QTest::addColumn<QString>("hex");
    QTest::addColumn<int>("septets");
    QTest::addColumn<int>("fillBits");
    QTest::newRow("more septets than octets") << "E8329BFD06" << 6 << 0;
    QTest::newRow("fill bits push past the end") << "E8329BFD4697D9" << 8 << 1;
    QTest::newRow("not hex") << "E8329BFDZZ" << 5 << 0;
    QTest::newRow("odd hex") << "E8329BFD0" << 4 << 0;
    QTest::newRow("negative count") << "E8" << -1 << 0;
    QTest::newRow("seven fill bits") << "E8329BFD06" << 1 << 7;
}

void TstPduUnits::decode7BitRefusesWhatItCannotRead()
{
    QFETCH(QString, hex);
    QFETCH(int, septets);
    QFETCH(int, fillBits);
    QVERIFY(!Decode7Bit(hex, septets, fillBits).has_value());
}

void TstPduUnits::wholeAlphabetRoundTrips()
{
    const QString all = u"@£$¥èéùìòÇ\nØø\rÅåΔ_ΦΓΛΩΠΨΣΘΞÆæßÉ !\"#¤%&'()*+,-./0123456789:;<=>?"
                        u"¡ABCDEFGHIJKLMNOPQRSTUVWXYZÄÖÑÜ§¿abcdefghijklmnopqrstuvwxyzäöñüà"
                        u"\f^{}\\[~]|€"_qs;
    QCOMPARE(Gsm7Length(all), 127 + 2 * 10);
    const std::optional<QString> back = Decode7Bit(Encode7Bit(all), Gsm7Length(all));
    QVERIFY(back.has_value());
    QCOMPARE(*back, all);
}

void TstPduUnits::packingWithFillBitsRoundTrips()
{
    for (int fill = 0; fill <= 6; ++fill) {
        for (int n = 0; n <= 17; ++n) {
            QByteArray septets;
            for (int i = 0; i < n; ++i)
                septets.append(char((i * 37 + fill * 11 + 0x55) & 0x7F));
            const QByteArray packed = Septets::pack(septets, fill);
            QCOMPARE(packed.size(), (fill + 7 * n + 7) / 8);
            if (!packed.isEmpty())
                QCOMPARE(quint8(packed.at(0)) & ((1 << fill) - 1), 0); // fill bits are zero
            const std::optional<QByteArray> back = Septets::unpack(packed, n, fill);
            QVERIFY2(back.has_value(), qPrintable(QStringLiteral("fill %1 n %2").arg(fill).arg(n)));
            QCOMPARE(*back, septets);
        }
    }
}

void TstPduUnits::ucs2_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("hex");
    QTest::newRow("ascii") << "abc"
                           << "006100620063";
    QTest::newRow("chinese") << u"你好"_qs << "4F60597D";
    QTest::newRow("surrogate pair") << u"😀"_qs << "D83DDE00";
    QTest::newRow("empty") << ""
                           << "";
}

void TstPduUnits::ucs2()
{
    QFETCH(QString, text);
    QFETCH(QString, hex);
    QCOMPARE(EncodeUCS2(text), hex);
    QCOMPARE(DecodeUCS2(hex), std::optional<QString>(text));
}

void TstPduUnits::decodeUcs2_data()
{
    QTest::addColumn<QString>("hex");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("expected");
    QTest::newRow("short remainder ignored") << "4F60597" << true << u"你"_qs;
    QTest::newRow("lowercase") << "4f60" << true << u"你"_qs;
    QTest::newRow("group not hex") << "4F6G" << false << "";
    QTest::newRow("remainder not hex is still ignored") << "4F60ZZ" << true << u"你"_qs;
}

void TstPduUnits::decodeUcs2()
{
    QFETCH(QString, hex);
    QFETCH(bool, ok);
    QFETCH(QString, expected);
    const std::optional<QString> text = DecodeUCS2(hex);
    QCOMPARE(text.has_value(), ok);
    if (ok)
        QCOMPARE(*text, expected);
}

void TstPduUnits::dataCodingGroups_data()
{
    QTest::addColumn<int>("dcs");
    QTest::addColumn<TCoding>("coding");
    QTest::addColumn<bool>("compressed");
    QTest::newRow("00 default") << 0x00 << TCoding::Bit7 << false;
    QTest::newRow("04 8-bit") << 0x04 << TCoding::Bit8 << false;
    QTest::newRow("08 UCS2") << 0x08 << TCoding::Ucs2 << false;
    QTest::newRow("0C reserved alphabet") << 0x0C << TCoding::Bit7 << false;
    QTest::newRow("10 class 0") << 0x10 << TCoding::Bit7 << false;
    QTest::newRow("11 class 1 7-bit") << 0x11 << TCoding::Bit7 << false;
    QTest::newRow("15 class 1 8-bit") << 0x15 << TCoding::Bit8 << false;
    QTest::newRow("19 class 1 UCS2") << 0x19 << TCoding::Ucs2 << false;
    QTest::newRow("20 compressed") << 0x20 << TCoding::Bit8 << true;
    QTest::newRow("2A compressed UCS2") << 0x2A << TCoding::Bit8 << true;
    QTest::newRow("40 auto-delete 7-bit") << 0x40 << TCoding::Bit7 << false;
    QTest::newRow("48 auto-delete UCS2") << 0x48 << TCoding::Ucs2 << false;
    QTest::newRow("84 reserved group") << 0x84 << TCoding::Bit7 << false;
    QTest::newRow("B8 reserved group") << 0xB8 << TCoding::Bit7 << false;
    QTest::newRow("C0 MWI discard") << 0xC0 << TCoding::Bit7 << false;
    QTest::newRow("D8 MWI store") << 0xD8 << TCoding::Bit7 << false;
    QTest::newRow("E0 MWI store UCS2") << 0xE0 << TCoding::Ucs2 << false;
    QTest::newRow("F0 class 0 7-bit") << 0xF0 << TCoding::Bit7 << false;
    QTest::newRow("F5 class 1 8-bit") << 0xF5 << TCoding::Bit8 << false;
    QTest::newRow("FB class 3 7-bit") << 0xFB << TCoding::Bit7 << false;
}

void TstPduUnits::dataCodingGroups()
{
    QFETCH(int, dcs);
    QFETCH(TCoding, coding);
    QFETCH(bool, compressed);
    const TDataCoding dc = DataCodingOf(dcs);
    QCOMPARE(dc.coding, coding);
    QCOMPARE(dc.compressed, compressed);
}

QTEST_GUILESS_MAIN(TstPduUnits)
#include "tst_pdu_units.moc"
