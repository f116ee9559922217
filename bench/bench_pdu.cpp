// Throughput of the PDU codec: decoding a mix of received PDUs, and building the gateway's
// SMS-SUBMIT for a full UCS2 and a full 7-bit message. Prints figures; checks nothing.

#include "Gsm7Alphabet.h"
#include "HexText.h"
#include "PduCodec.h"
#include "SeptetPacking.h"

#include <QElapsedTimer>
#include <QStringList>
#include <cstdio>

namespace {

const QString ServiceCentre = QStringLiteral("0891683108200005F0");
const QString Sender = QStringLiteral("0D91683119325476F8");
const QString TimeStamp = QStringLiteral("42501021436523");

QString deliverUcs2(const QString &text)
{
    const QString ud = Pdu::EncodeUCS2(text);
    return ServiceCentre + QStringLiteral("04") + Sender + QStringLiteral("0008") + TimeStamp
        + Pdu::Hex::octet(int(ud.size() / 2)) + ud;
}

QString deliver7Bit(const QString &text)
{
    return ServiceCentre + QStringLiteral("04") + Sender + QStringLiteral("0000") + TimeStamp
        + Pdu::Hex::octet(Pdu::Gsm7Length(text)) + Pdu::Encode7Bit(text);
}

// Part `seq` of a concatenated 7-bit message: six header octets, one fill bit.
QString deliverConcat7Bit(const QString &text, int seq)
{
    const QByteArray septets = Pdu::Gsm7::fromText(text, 153);
    const QString header = QStringLiteral("050003A703") + Pdu::Hex::octet(seq);
    return ServiceCentre + QStringLiteral("44") + Sender + QStringLiteral("0000") + TimeStamp
        + Pdu::Hex::octet(int(septets.size()) + 7) + header
        + Pdu::Hex::fromOctets(Pdu::Septets::pack(septets, 1));
}

QString repeated(const QString &s, int n)
{
    QString out;
    while (out.size() < n)
        out += s;
    return out.left(n);
}

template <typename F> double perSecond(int rounds, F &&f)
{
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < rounds; ++i)
        f();
    return rounds / (t.nsecsElapsed() / 1e9);
}

} // namespace

int main()
{
    const QString chinese70 = repeated(u"您好，您的订单已经发货，请注意查收。"_qs, 70);
    const QString latin160 =
        repeated(QStringLiteral("The quick brown fox jumps over the lazy dog. "), 160);

    const QStringList mix = {
        deliver7Bit(QStringLiteral("hello")),
        deliver7Bit(latin160),
        deliverUcs2(chinese70),
        deliverUcs2(u"收到，谢谢！"_qs),
        deliverConcat7Bit(latin160, 1),
        deliverConcat7Bit(latin160.left(40), 2),
        QStringLiteral("0791527422050000060911818967454365878967F5112112213012E11121122130122140"),
    };
    for (const QString &pdu : mix) {
        const Pdu::TDecodeResult r = Pdu::Decode(pdu);
        if (!r.ok()) {
            std::fprintf(stderr, "bench PDU does not decode: %s\n", qPrintable(r.error));
            return 1;
        }
    }

    constexpr int Rounds = 40000;
    int sink = 0;
    const double decodes = perSecond(Rounds, [&] {
        for (const QString &pdu : mix)
            sink += int(Pdu::Decode(pdu).pdu->text.size());
    }) * double(mix.size());
    const double ucs2 = perSecond(Rounds, [&] {
        sink += int(Pdu::BuildSubmit(
            QStringLiteral("8613800200500"), QStringLiteral("13912345678"), tdUCS2, chinese70)
                        .pdu.size());
    });
    const double gsm7 = perSecond(Rounds, [&] {
        sink += int(Pdu::BuildSubmit(
            QStringLiteral("8613800200500"), QStringLiteral("13912345678"), td7_Bit, latin160)
                        .pdu.size());
    });
    const double json =
        perSecond(Rounds, [&] { sink += int(Pdu::ToJson(Pdu::Decode(mix.at(2))).size()); });

    std::printf("decode, mix of %d (7-bit, UCS2, concatenated, status report): %.0f PDUs/s\n",
        int(mix.size()), decodes);
    std::printf("decode + JSON, 70-character UCS2 deliver:                  %.0f PDUs/s\n", json);
    std::printf("build SMS-SUBMIT, 70 Chinese characters (UCS2):            %.0f PDUs/s\n", ucs2);
    std::printf("build SMS-SUBMIT, 160 characters (7-bit):                  %.0f PDUs/s\n", gsm7);
    return sink == 42 ? 2 : 0; // keeps the work from being optimised away
}
