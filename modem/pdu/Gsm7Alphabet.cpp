#include "Gsm7Alphabet.h"

#include <array>

namespace Pdu::Gsm7 {

namespace {

    // Default alphabet, septet value -> UTF-16 (0x1B, the escape, shown as a blank).
    constexpr char16_t Basic[128] = {
        u'@',
        u'£',
        u'$',
        u'¥',
        u'è',
        u'é',
        u'ù',
        u'ì',
        u'ò',
        u'Ç',
        u'\n',
        u'Ø',
        u'ø',
        u'\r',
        u'Å',
        u'å',
        u'Δ',
        u'_',
        u'Φ',
        u'Γ',
        u'Λ',
        u'Ω',
        u'Π',
        u'Ψ',
        u'Σ',
        u'Θ',
        u'Ξ',
        u' ',
        u'Æ',
        u'æ',
        u'ß',
        u'É',
        u' ',
        u'!',
        u'"',
        u'#',
        u'¤',
        u'%',
        u'&',
        u'\'',
        u'(',
        u')',
        u'*',
        u'+',
        u',',
        u'-',
        u'.',
        u'/',
        u'0',
        u'1',
        u'2',
        u'3',
        u'4',
        u'5',
        u'6',
        u'7',
        u'8',
        u'9',
        u':',
        u';',
        u'<',
        u'=',
        u'>',
        u'?',
        u'¡',
        u'A',
        u'B',
        u'C',
        u'D',
        u'E',
        u'F',
        u'G',
        u'H',
        u'I',
        u'J',
        u'K',
        u'L',
        u'M',
        u'N',
        u'O',
        u'P',
        u'Q',
        u'R',
        u'S',
        u'T',
        u'U',
        u'V',
        u'W',
        u'X',
        u'Y',
        u'Z',
        u'Ä',
        u'Ö',
        u'Ñ',
        u'Ü',
        u'§',
        u'¿',
        u'a',
        u'b',
        u'c',
        u'd',
        u'e',
        u'f',
        u'g',
        u'h',
        u'i',
        u'j',
        u'k',
        u'l',
        u'm',
        u'n',
        u'o',
        u'p',
        u'q',
        u'r',
        u's',
        u't',
        u'u',
        u'v',
        u'w',
        u'x',
        u'y',
        u'z',
        u'ä',
        u'ö',
        u'ñ',
        u'ü',
        u'à',
    };

    struct TExtension {
        char code;
        char16_t ch;
    };

    // Extension table, reached through the escape.
    constexpr TExtension Extension[] = {
        { 0x0A, u'\f' },
        { 0x14, u'^' },
        { 0x28, u'{' },
        { 0x29, u'}' },
        { 0x2F, u'\\' },
        { 0x3C, u'[' },
        { 0x3D, u'~' },
        { 0x3E, u']' },
        { 0x40, u'|' },
        { 0x65, u'€' },
    };

    constexpr qint16 NoSeptet = -1;

    // Reverse lookup for U+0000..U+00FF: septet value, 0x100 | code for an extension
    // character, or NoSeptet.
    constexpr std::array<qint16, 256> makeLatin1Table()
    {
        std::array<qint16, 256> t {};
        for (auto &v : t)
            v = NoSeptet;
        for (int s = 0; s < 128; ++s)
            if (s != Escape && Basic[s] < 256)
                t[Basic[s]] = qint16(s);
        for (const TExtension &e : Extension)
            if (e.ch < 256)
                t[e.ch] = qint16(0x100 | e.code);
        return t;
    }

    constexpr std::array<qint16, 256> Latin1 = makeLatin1Table();

    qint16 lookup(char16_t c)
    {
        if (c < 256)
            return Latin1[c];
        for (int s = 0x10; s <= 0x1A; ++s) // the Greek capitals
            if (Basic[s] == c)
                return qint16(s);
        if (c == u'€')
            return 0x100 | 0x65;
        return NoSeptet;
    }

} // namespace

QByteArray fromText(QStringView text, int maxSeptets, qsizetype *consumed)
{
    QByteArray out;
    out.reserve(text.size() + 8);
    qsizetype i = 0;
    while (i < text.size()) {
        const char16_t c = text[i].unicode();
        int units = 1;
        if (QChar::isHighSurrogate(c) && i + 1 < text.size()
            && QChar::isLowSurrogate(text[i + 1].unicode()))
            units = 2;
        const qint16 v = units == 1 ? lookup(c) : NoSeptet;
        const int septets = v >= 0x100 ? 2 : 1;
        if (maxSeptets >= 0 && out.size() + septets > maxSeptets)
            break;
        if (v >= 0x100) {
            out.append(Escape);
            out.append(char(v & 0x7F));
        } else {
            out.append(v == NoSeptet ? '?' : char(v));
        }
        i += units;
    }
    if (consumed)
        *consumed = i;
    return out;
}

int length(QStringView text)
{
    int n = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size()
            && QChar::isLowSurrogate(text[i + 1].unicode())) {
            ++i; // sent as one "?"
            ++n;
            continue;
        }
        n += lookup(c) >= 0x100 ? 2 : 1;
    }
    return n;
}

QString toText(QByteArrayView septets)
{
    QString out;
    out.reserve(septets.size());
    for (qsizetype i = 0; i < septets.size(); ++i) {
        const int s = septets[i] & 0x7F;
        if (s != Escape) {
            out.append(QChar(Basic[s]));
            continue;
        }
        if (++i == septets.size()) {
            out.append(u' ');
            break;
        }
        const int code = septets[i] & 0x7F;
        char16_t ch = Basic[code];
        for (const TExtension &e : Extension)
            if (e.code == code)
                ch = e.ch;
        out.append(QChar(ch));
    }
    return out;
}

} // namespace Pdu::Gsm7
