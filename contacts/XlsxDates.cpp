#include "XlsxDates.h"

#include "SheetText.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>

namespace XlsxDates {

namespace {

    TKind KindOfBuiltIn(int id)
    {
        if ((id >= 14 && id <= 17) || (id >= 27 && id <= 31) || id == 36 || (id >= 50 && id <= 58))
            return TKind::Date;
        if ((id >= 18 && id <= 21) || (id >= 32 && id <= 35) || (id >= 45 && id <= 47))
            return TKind::Time;
        if (id == 22)
            return TKind::DateTime;
        return TKind::Number;
    }

    TKind KindOfCode(const QString &code)
    {
        bool date = false;
        bool time = false;
        bool month = false;
        for (qsizetype i = 0; i < code.size(); ++i) {
            const QChar c = code.at(i).toLower();
            if (c == u'"') { // a literal text
                const qsizetype end = code.indexOf(u'"', i + 1);
                i = end < 0 ? code.size() : end;
            } else if (c == u'\\' || c == u'_' || c == u'*') { // an escaped or padding character
                ++i;
            } else if (c == u'[') { // a colour, a condition or a locale; [h] [mm] [ss] are time
                const qsizetype end = code.indexOf(u']', i + 1);
                const QString inside = code.mid(i + 1, (end < 0 ? code.size() : end) - i - 1);
                if (!inside.isEmpty() && std::all_of(inside.begin(), inside.end(), [](QChar x) {
                        return x.toLower() == u'h' || x.toLower() == u'm' || x.toLower() == u's';
                    }))
                    time = true;
                i = end < 0 ? code.size() : end;
            } else if (c == u';') {
                break; // the first section decides
            } else if (c == u'y' || c == u'd') {
                date = true;
            } else if (c == u'h' || c == u's') {
                time = true;
            } else if (c == u'm') {
                month = true;
            }
        }
        // "m" is the month unless it stands among hours and seconds ("h:mm", "mm:ss").
        if (month && !time)
            date = true;
        if (date && time)
            return TKind::DateTime;
        if (date)
            return TKind::Date;
        if (time)
            return TKind::Time;
        return TKind::Number;
    }

} // namespace

TKind KindOfFormat(int numFmtId, const QString &formatCode)
{
    if (numFmtId < 164 && formatCode.isEmpty())
        return KindOfBuiltIn(numFmtId);
    return KindOfCode(formatCode);
}

QString SerialText(double serial, TKind kind, bool date1904)
{
    if (kind == TKind::Number || !std::isfinite(serial) || serial < 0 || serial > 2958466)
        return SheetText::NumberText(serial);
    double days = std::floor(serial);
    qint64 seconds = std::llround((serial - days) * 86400.0);
    if (seconds >= 86400) {
        days += 1;
        seconds -= 86400;
    }
    QDate date;
    if (date1904)
        date = QDate(1904, 1, 1).addDays(qint64(days));
    else // day 1 is 1900-01-01; day 60 is the 29 February 1900 that the format counts
        date = days < 61 ? QDate(1899, 12, 31).addDays(qint64(days))
                         : QDate(1899, 12, 30).addDays(qint64(days));
    const QTime time = QTime(0, 0).addSecs(seconds);
    const QString dateText = date.toString(QStringLiteral("yyyy-MM-dd"));
    const QString timeText = time.toString(QStringLiteral("HH:mm:ss"));
    switch (kind) {
    case TKind::Date:
        return dateText;
    case TKind::Time:
        return timeText;
    case TKind::DateTime:
        return dateText + QLatin1Char(' ') + timeText;
    case TKind::Number:
        break;
    }
    return SheetText::NumberText(serial);
}

} // namespace XlsxDates
