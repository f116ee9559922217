#include "ReplyText.h"

#include "untPublic.h"

namespace ReplyText {

QStringList Lines(const QString &block)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= block.size(); ++i) {
        if (i == block.size() || block[i] == u'\r' || block[i] == u'\n') {
            if (i > start) {
                const QString line = untPublic::TrimText(QStringView(block).mid(start, i - start));
                if (!line.isEmpty())
                    lines.append(line);
            }
            start = i + 1;
        }
    }
    return lines;
}

std::optional<QStringList> Fields(const QString &line, QStringView prefix)
{
    if (!line.startsWith(prefix))
        return std::nullopt;
    qsizetype pos = prefix.size();
    if (pos >= line.size() || line[pos] != u':')
        return std::nullopt;
    ++pos;
    QStringList fields;
    QString current;
    bool quoted = false;
    for (; pos < line.size(); ++pos) {
        const QChar c = line[pos];
        if (c == u'"')
            quoted = !quoted;
        if (c == u',' && !quoted) {
            fields.append(untPublic::TrimText(current));
            current.clear();
        } else {
            current.append(c);
        }
    }
    fields.append(untPublic::TrimText(current));
    return fields;
}

std::optional<int> Number(const QString &field)
{
    if (field.isEmpty() || field.size() > 9)
        return std::nullopt;
    int value = 0;
    for (QChar c : field) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

bool HasError(const QString &block)
{
    // Some modems refuse an unknown command with this text alone.
    return block.contains(QLatin1String("ERROR"))
        || block.contains(QLatin1String("COMMAND NOT SUPPORT"));
}

} // namespace ReplyText
