#include "XlsxCellInput.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace Xlsx {

namespace {

    bool IsHex(QChar c)
    {
        return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
    }

    // "_xHHHH_" starting at pos.
    bool IsEscapeAt(QStringView text, qsizetype pos)
    {
        if (pos + 7 > text.size() || text[pos] != u'_' || text[pos + 1] != u'x'
            || text[pos + 6] != u'_')
            return false;
        for (qsizetype i = pos + 2; i < pos + 6; ++i)
            if (!IsHex(text[i]))
                return false;
        return true;
    }

} // namespace

std::optional<double> TypedNumber(QStringView text)
{
    static const QRegularExpression plain(
        QStringLiteral("^ *([+-]?)(\\d*)(?:\\.(\\d*))?(?:[eE][+-]?\\d+)? *$"));
    const QRegularExpressionMatch m = plain.match(text.toString());
    if (!m.hasMatch())
        return std::nullopt;
    const QStringView integer = m.capturedView(2);
    const QStringView fraction = m.capturedView(3);
    if (integer.isEmpty() && fraction.isEmpty())
        return std::nullopt;
    if (integer.size() > 1 && integer[0] == u'0')
        return std::nullopt;
    QString digits = integer.toString() + fraction.toString();
    while (digits.startsWith(u'0'))
        digits.remove(0, 1);
    while (digits.endsWith(u'0'))
        digits.chop(1);
    if (digits.size() > 15)
        return std::nullopt;
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string NumberText(double value)
{
    if (value == 0)
        return "0"; // also for -0
    return QString::number(value, 'g', QLocale::FloatingPointShortest).toStdString();
}

std::string EscapeCellText(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if ((c < 0x20 && c != u'\t' && c != u'\n') || c == 0xFFFE || c == 0xFFFF) {
            out += QStringLiteral("_x")
                + QStringLiteral("%1").arg(int(c), 4, 16, QLatin1Char('0')).toUpper()
                + QLatin1Char('_');
            continue;
        }
        if (IsEscapeAt(text, i))
            out += QStringLiteral("_x005F");
        out += QChar(c);
    }
    return out.toStdString();
}

bool NeedsPreserve(QStringView text)
{
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; };
    return !text.isEmpty() && (blank(text.front()) || blank(text.back()));
}

} // namespace Xlsx
