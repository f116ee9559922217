// The gateway's SMS-SUBMIT: fixed first octet, reference, PID and validity; the user data
// cut to what one message holds.

#include "PduCodec.h"

#include "Gsm7Alphabet.h"
#include "HexText.h"
#include "SeptetPacking.h"
#include "Ucs2Text.h"

namespace Pdu {

namespace {

    constexpr int MaxSeptets = 160;
    constexpr int MaxUcs2Units = 70;
    constexpr int MaxOctets = 140;

    QString trimmed(const QString &s)
    {
        qsizetype from = 0;
        qsizetype to = s.size();
        while (from < to && s[from].unicode() <= 32)
            ++from;
        while (to > from && s[to - 1].unicode() <= 32)
            --to;
        return s.mid(from, to - from);
    }

    bool isSurrogatePairAt(const QString &s, qsizetype i)
    {
        return i + 1 < s.size() && s[i].isHighSurrogate() && s[i + 1].isLowSurrogate();
    }

    // The first 70 units, one less when that would part a surrogate pair.
    QString cutUcs2(const QString &text)
    {
        if (text.size() <= MaxUcs2Units)
            return text;
        return text.left(
            isSurrogatePairAt(text, MaxUcs2Units - 1) ? MaxUcs2Units - 1 : MaxUcs2Units);
    }

    // 8-bit data carries the text's Latin-1 octets; any other character (a surrogate pair
    // being one character) goes as "?".
    QByteArray latin1Octets(const QString &text)
    {
        QByteArray out;
        for (qsizetype i = 0; i < text.size() && out.size() < MaxOctets; ++i) {
            const char16_t c = text[i].unicode();
            if (isSurrogatePairAt(text, i))
                ++i;
            out.append(c <= 0xFF && !QChar::isSurrogate(c) ? char(c) : '?');
        }
        return out;
    }

} // namespace

TSubmitPdu BuildSubmit(const QString &smsc, const QString &tpDa, TTP_DCS dcs, const QString &text)
{
    TSubmitPdu out;
    QString pdu;
    int scOctets = 0;
    const QString scDigits = EncodeSemiOctets(smsc);
    if (scDigits.isEmpty()) {
        pdu = QStringLiteral("00");
    } else {
        const QString field = QStringLiteral("91") + scDigits;
        scOctets = int(field.size() / 2);
        pdu = Hex::octet(scOctets) + field;
    }

    pdu += QStringLiteral("1100"); // first octet, TP-MR
    const QString da = trimmed(tpDa);
    pdu += Hex::octet(int(da.size()));
    pdu += da.startsWith(QStringLiteral("86")) ? QStringLiteral("91") : QStringLiteral("81");
    pdu += EncodeSemiOctets(da);
    pdu += QStringLiteral("00"); // TP-PID

    switch (dcs) {
    case td7_Bit: {
        const QByteArray septets = Gsm7::fromText(text, MaxSeptets);
        out.text = Gsm7::toText(septets);
        pdu += QStringLiteral("0000") + Hex::octet(int(septets.size()))
            + Hex::fromOctets(Septets::pack(septets));
        break;
    }
    case td8_Bit: {
        const QByteArray data = latin1Octets(text);
        out.text = QString::fromLatin1(data);
        pdu += QStringLiteral("1500") + Hex::octet(int(data.size())) + Hex::fromOctets(data);
        break;
    }
    case tdUCS2:
    default: {
        out.text = cutUcs2(text);
        const QByteArray data = Ucs2::toOctets(out.text);
        pdu += QStringLiteral("0800") + Hex::octet(int(data.size())) + Hex::fromOctets(data);
        break;
    }
    }

    out.cmgsLen = QString::asprintf("%03d", int(pdu.size() / 2) - scOctets - 1);
    out.pdu = pdu;
    return out;
}

} // namespace Pdu
