#include "StoreText.h"

namespace StoreText {

QString DateTimeText(const QDateTime &time)
{
    const QDateTime local = time.toLocalTime();
    if (local.time() == QTime(0, 0))
        return local.toString(QStringLiteral("yyyy-MM-dd"));
    return local.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString ReplaceDoubleQuotes(QString text)
{
    return text.replace(QLatin1Char('"'), QChar(0x201C));
}

QVariantList ReplaceDoubleQuotes(QVariantList values)
{
    for (QVariant &value : values) {
        if (value.typeId() == QMetaType::QString)
            value = ReplaceDoubleQuotes(value.toString());
    }
    return values;
}

namespace {

    QString ShowValue(const QVariant &value)
    {
        if (value.isNull())
            return QStringLiteral("NULL");
        switch (value.typeId()) {
        case QMetaType::QString:
        case QMetaType::QByteArray:
        case QMetaType::QChar:
            return QLatin1Char('\'') + value.toString() + QLatin1Char('\'');
        default:
            return value.toString();
        }
    }

} // namespace

QString ShowStatement(const QString &statement, const QVariantList &values)
{
    QString shown;
    shown.reserve(statement.size());
    qsizetype next = 0;
    QChar quote; // the quote character of the literal being copied, null outside one
    for (const QChar c : statement) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            shown += c;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('[')) {
            quote = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            shown += c;
        } else if (c == QLatin1Char('?') && next < values.size()) {
            shown += ShowValue(values.at(next++));
        } else {
            shown += c;
        }
    }
    return shown;
}

} // namespace StoreText
