#pragma once
// Shared text helpers of the gateway.

#include <QString>
#include <QStringList>

namespace untPublic {

// Cuts `source` at every `separator`. A blank piece is dropped (the last one is always kept);
// kept pieces are not trimmed. Only the separator's first character is consumed, so with a
// longer separator every piece after the first starts with the rest of it ("+CMGL" gives
// pieces starting with "CMGL"); the modem parser relies on that.
QStringList SplitToList(const QString &source, const QString &separator);

// True for the characters TrimText removes: codes 0 to 32. The full-width space is kept.
constexpr bool IsBlank(QChar c) { return c.unicode() <= 32; }

// Removes leading and trailing spaces and control characters (codes 0 to 32).
QString TrimText(QStringView text);

// Counted length of a text as its GBK form counts: printable ASCII counts 1, a double-byte
// character 1 (each high byte a half), spaces and control characters nothing. A character GBK
// cannot hold counts its UTF-16 units, so that a count never underestimates a UCS2 part.
int TextLength(QStringView text);

// Counted length of one character (in halves: 2 = one counted character). Lets callers cut a
// text character by character with the same rule TextLength applies.
int CharHalves(QStringView character);

// The character (one UTF-16 unit, or a surrogate pair) that starts at `pos`.
QStringView CharAt(QStringView text, qsizetype pos);

} // namespace untPublic
