#include "untPublic.h"

#include <QStringEncoder>

#include <array>

namespace untPublic {

QStringList SplitToList(const QString &source, const QString &separator)
{
    QStringList result;
    if (separator.isEmpty()) {
        result.append(source);
        return result;
    }
    QString rest = source;
    qsizetype pos;
    while ((pos = rest.indexOf(separator)) >= 0) {
        const QString before = rest.left(pos);
        if (!TrimText(before).isEmpty())
            result.append(before);
        rest.remove(0, pos + 1);
    }
    result.append(rest);
    return result;
}

QString TrimText(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin).toString();
}

QStringView CharAt(QStringView text, qsizetype pos)
{
    if (pos + 1 < text.size() && text[pos].isHighSurrogate() && text[pos + 1].isLowSurrogate())
        return text.mid(pos, 2);
    return text.mid(pos, 1);
}

namespace {

// Halves of every BMP character's GBK form, worked out once: printable bytes count two halves,
// high bytes one, blanks and controls none; 0xFF marks a character GBK cannot hold.
const std::array<quint8, 65536> &GbkHalvesTable()
{
    static const std::array<quint8, 65536> table = [] {
        std::array<quint8, 65536> t{};
        QStringEncoder gbk("GBK");
        for (int u = 0; u < 65536; ++u) {
            if (u < 128) {
                t[u] = (u > 32 && u < 127) ? 2 : (u == 127 ? 1 : 0);
                continue;
            }
            const QChar c(static_cast<char16_t>(u));
            if (c.isSurrogate()) {
                t[u] = 0xFF;
                continue;
            }
            // The encoder's error flag stays set once raised; an unmappable character shows as
            // the replacement "?" instead.
            const QByteArray bytes = gbk.encode(QStringView(&c, 1));
            if (bytes.isEmpty() || bytes == "?") {
                t[u] = 0xFF;
                continue;
            }
            int halves = 0;
            for (char b : bytes) {
                const auto v = static_cast<unsigned char>(b);
                halves += v >= 127 ? 1 : (v > 32 ? 2 : 0);
            }
            t[u] = quint8(halves);
        }
        return t;
    }();
    return table;
}

} // namespace

int CharHalves(QStringView character)
{
    if (character.isEmpty())
        return 0;
    if (character.size() > 1) // a surrogate pair: outside GBK, counts its two units
        return 4;
    const quint8 halves = GbkHalvesTable()[character[0].unicode()];
    return halves == 0xFF ? 2 : halves;
}

int TextLength(QStringView text)
{
    // Printable bytes add two halves, high bytes one: the sum halved is the specified count
    // (high bytes divided by two once, at the end).
    int halves = 0;
    for (qsizetype i = 0; i < text.size();) {
        const QStringView ch = CharAt(text, i);
        i += ch.size();
        halves += CharHalves(ch);
    }
    return halves / 2;
}

} // namespace untPublic
