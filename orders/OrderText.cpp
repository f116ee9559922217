#include "OrderText.h"

#include "untPublic.h"

using untPublic::SplitToList;
using untPublic::TrimText;

namespace Orders {

QString NormalizeSeparators(const QString &text)
{
    // QString holds whole characters, so a match can never start inside one.
    QString result = text;
    result.replace(QChar(0xFF03), QLatin1Char('#'));
    result.replace(QChar(0xFF0C), QLatin1Char(','));
    result.replace(QChar(0xFF1B), QLatin1Char(';'));
    return result;
}

ParsedOrder ParseOrderText(const QString &text)
{
    ParsedOrder parsed;
    parsed.text = NormalizeSeparators(text);
    const QStringList pieces = SplitToList(parsed.text, QStringLiteral("#"));
    parsed.pieceCount = int(pieces.size());
    const auto piece = [&pieces](int number) {
        return pieces.size() >= number ? TrimText(pieces[number - 1]) : QString();
    };
    parsed.deliveryDate = piece(1);
    parsed.customer = piece(2);
    parsed.items = piece(3);
    parsed.remark = piece(4);
    return parsed;
}

QString ParseFailureMessage()
{
    return QStringLiteral("信息内容格式不规范，请检查后重新解析！");
}

bool CheckOrderItems(const QString &text)
{
    const QStringList pieces = SplitToList(text, QStringLiteral("#"));
    if (pieces.size() <= 2)
        return false;
    const QString items = TrimText(pieces[2]);
    if (!items.contains(QLatin1Char(';')))
        return false;
    int valid = 0;
    for (const QString &line : SplitToList(items, QStringLiteral(";"))) {
        if (TrimText(line).isEmpty())
            continue;
        if (SplitToList(line, QStringLiteral(",")).size() < 3)
            return false;
        ++valid;
    }
    return valid > 0;
}

bool IsWellFormedOrder(const QString &text)
{
    return SplitToList(text, QStringLiteral("#")).size() >= 3 && text.startsWith(QLatin1Char('#'))
        && text.endsWith(QLatin1Char('#'));
}

} // namespace Orders
