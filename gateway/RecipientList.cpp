#include "RecipientList.h"

#include "untPublic.h"

using untPublic::IsBlank;

namespace Gateway {

namespace {

    // Reads a quoted entry starting at the opening quote; a missing closing quote takes the rest.
    QString quoted(QStringView s, qsizetype &pos)
    {
        QString out;
        ++pos;
        while (pos < s.size()) {
            if (s[pos] == u'"') {
                if (pos + 1 < s.size() && s[pos + 1] == u'"') {
                    out += u'"';
                    pos += 2;
                    continue;
                }
                ++pos;
                break;
            }
            out += s[pos++];
        }
        return out;
    }

} // namespace

QStringList SplitRecipients(QStringView s)
{
    QStringList entries;
    qsizetype pos = 0;
    auto skipBlanks = [&] {
        while (pos < s.size() && IsBlank(s[pos]))
            ++pos;
    };
    skipBlanks();
    while (pos < s.size()) {
        if (s[pos] == u'"') {
            entries.append(quoted(s, pos));
        } else {
            const qsizetype start = pos;
            while (pos < s.size() && !IsBlank(s[pos]) && s[pos] != u',')
                ++pos;
            entries.append(s.mid(start, pos - start).toString());
        }
        skipBlanks();
        if (pos < s.size() && s[pos] == u',') {
            if (pos + 1 == s.size())
                entries.append(QString());
            ++pos;
            skipBlanks();
        }
    }
    return entries;
}

} // namespace Gateway
