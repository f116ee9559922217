#pragma once
// Cutting a message text into the parts that go out one by one, and the compose counter.

#include <QString>
#include <QStringList>

namespace Gateway {

// The most UTF-16 units one UCS2 part can carry; the PDU builder would cut off the rest.
constexpr int MaxPartUnits = 70;

// Cuts `text` into parts of at most `textSize` counted characters (untPublic::TextLength),
// plus any blanks among them. A part ends where the next character would pass the count, when
// the count reaches `textSize`, or where the next character would pass MaxPartUnits; a
// character (a surrogate pair included) is never split. Parts are trimmed; blank ones are
// dropped, so the result holds exactly what is to be sent.
QStringList CutParts(QStringView text, int textSize);

// The compose counter: "已经输入" + counted length + "字".
QString CounterText(QStringView text);

} // namespace Gateway
