#include "untPublic.h"

#include <QStringEncoder>

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

int CharHalves(QStringView character)
{
    if (character.isEmpty())
        return 0;
    const char16_t u = character[0].unicode();
    if (u < 128) // printable ASCII counts one, blanks and controls nothing, DEL is a high byte
        return (u > 32 && u < 127) ? 2 : (u == 127 ? 1 : 0);
    if (u >= 0x4E00 && u <= 0x9FA5) // the unified ideographs: all double-byte in GBK
        return 2;
    QStringEncoder gbk("GBK");
    const QByteArray bytes = gbk.encode(character);
    if (gbk.hasError())
        return 2 * int(character.size());
    int halves = 0;
    for (char b : bytes) {
        const auto v = static_cast<unsigned char>(b);
        halves += v >= 127 ? 1 : (v > 32 ? 2 : 0);
    }
    return halves;
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
