#include "SheetText.h"

#include <QLocale>
#include <cmath>

namespace SheetText {

namespace {

    int HexValue(QChar c)
    {
        const char16_t u = c.unicode();
        if (u >= '0' && u <= '9')
            return u - '0';
        if (u >= 'a' && u <= 'f')
            return u - 'a' + 10;
        if (u >= 'A' && u <= 'F')
            return u - 'A' + 10;
        return -1;
    }

    // The code of an escape _xHHHH_ starting at `pos`, or -1.
    int EscapeAt(const QString &text, qsizetype pos)
    {
        if (pos + 7 > text.size() || text.at(pos) != u'_' || text.at(pos + 1) != u'x'
            || text.at(pos + 6) != u'_')
            return -1;
        int code = 0;
        for (qsizetype i = pos + 2; i < pos + 6; ++i) {
            const int digit = HexValue(text.at(i));
            if (digit < 0)
                return -1;
            code = code * 16 + digit;
        }
        return code;
    }

    QString Escape(char16_t code)
    {
        return QStringLiteral("_x") + QString::number(code, 16).rightJustified(4, u'0').toUpper()
            + QLatin1Char('_');
    }

} // namespace

QString NumberText(double value)
{
    if (!std::isfinite(value))
        return QString::number(value);
    if (value == 0)
        return QStringLiteral("0"); // also for -0
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

QString NumberText(const QString &stored)
{
    bool ok = false;
    const double value = stored.trimmed().toDouble(&ok);
    return ok ? NumberText(value) : stored;
}

QString DecodeEscapes(const QString &text)
{
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString result;
    result.reserve(text.size());
    qsizetype pos = 0;
    while (pos < text.size()) {
        const int code = EscapeAt(text, pos);
        if (code >= 0) {
            result += QChar(char16_t(code));
            pos += 7;
        } else {
            result += text.at(pos++);
        }
    }
    return result;
}

QString EncodeEscapes(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype pos = 0; pos < text.size(); ++pos) {
        const QChar c = text.at(pos);
        const char16_t u = c.unicode();
        bool escape = false;
        if (u < 0x20)
            escape = u != u'\t' && u != u'\n';
        else if (u == 0xFFFE || u == 0xFFFF)
            escape = true;
        else if (c.isHighSurrogate())
            escape = pos + 1 >= text.size() || !text.at(pos + 1).isLowSurrogate();
        else if (c.isLowSurrogate())
            escape = pos == 0 || !text.at(pos - 1).isHighSurrogate();
        else if (u == u'_')
            escape = EscapeAt(text, pos) >= 0;
        if (escape)
            result += Escape(u);
        else
            result += c;
    }
    return result;
}

} // namespace SheetText
