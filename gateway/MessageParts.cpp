#include "MessageParts.h"

#include "untPublic.h"

using untPublic::CharAt;
using untPublic::CharHalves;
using untPublic::IsBlank;

namespace Gateway {

QStringList CutParts(QStringView text, int textSize)
{
    QStringList parts;
    qsizetype pos = 0;
    while (pos < text.size()) {
        // Blanks at the front of a part would be trimmed away: they take no room in it.
        while (pos < text.size() && IsBlank(text[pos]))
            ++pos;
        const qsizetype start = pos;
        int halves = 0;
        while (pos < text.size()) {
            const QStringView ch = CharAt(text, pos);
            const int h = CharHalves(ch);
            const bool full = (halves + h) / 2 > textSize || pos - start + ch.size() > MaxPartUnits;
            if (full && pos > start) // a part holds at least one character
                break;
            halves += h;
            pos += ch.size();
            if (halves / 2 >= textSize)
                break;
        }
        const QString part = untPublic::TrimText(text.mid(start, pos - start));
        if (!part.isEmpty())
            parts.append(part);
    }
    return parts;
}

QString CounterText(QStringView text)
{
    return QStringLiteral("已经输入") + QString::number(untPublic::TextLength(text))
        + QStringLiteral("字");
}

} // namespace Gateway
