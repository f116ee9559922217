#pragma once
// Text rules of the store: the date-time form, the double-quote replacement of the exec
// routines and the statement as a failure report shows it.

#include <QDateTime>
#include <QString>
#include <QVariantList>

namespace StoreText {

// The first line of every failure report.
inline QString FailureHeading()
{
    return QStringLiteral("数据库操作出错！");
}

// "yyyy-MM-dd HH:mm:ss" in local time; the date alone when the time is exactly midnight.
QString DateTimeText(const QDateTime &time);

// Every ASCII double quote becomes “ (U+201C).
QString ReplaceDoubleQuotes(QString text);

// The same replacement applied to every text value; other values are kept.
QVariantList ReplaceDoubleQuotes(QVariantList values);

// The statement with each ? placeholder (outside quoted literals) replaced by its value: a text
// between single quotes, exactly as stored, a number bare, an empty value as NULL.
QString ShowStatement(const QString &statement, const QVariantList &values);

} // namespace StoreText
