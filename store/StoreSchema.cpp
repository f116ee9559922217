#include "StoreSchema.h"

#include <QFile>

namespace StoreSchema {

QString Text()
{
    QFile file(QStringLiteral(":/lumetra/schema.sql"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QStringList SplitStatements(const QString &script)
{
    QStringList statements;
    QString current;
    QChar quote;
    bool comment = false;
    for (qsizetype i = 0; i < script.size(); ++i) {
        const QChar c = script.at(i);
        if (comment) {
            if (c == QLatin1Char('\n')) {
                comment = false;
                current += c;
            }
            continue;
        }
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            current += c;
            continue;
        }
        if (c == QLatin1Char('-') && i + 1 < script.size()
            && script.at(i + 1) == QLatin1Char('-')) {
            comment = true;
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (c == QLatin1Char(';')) {
            if (!current.trimmed().isEmpty())
                statements << current.trimmed();
            current.clear();
            continue;
        }
        current += c;
    }
    if (!current.trimmed().isEmpty())
        statements << current.trimmed();
    return statements;
}

} // namespace StoreSchema
