#pragma once
// Small readers for the modem's reply text. Replies arrive with CR LF, CR alone or LF alone as
// line ends, with or without a blank after the colon; these helpers accept all of them.

#include <QString>
#include <QStringList>
#include <optional>

namespace ReplyText {

// The non-empty lines of a block, split at CR and LF.
QStringList Lines(const QString &block);

// The fields after "<prefix>:" of one line, split at commas outside double quotes; quotes are
// kept, fields are trimmed. std::nullopt when the line does not start with the prefix.
std::optional<QStringList> Fields(const QString &line, QStringView prefix);

// A field as a non-negative decimal number; std::nullopt when it is not one.
std::optional<int> Number(const QString &field);

// True when the block holds a final error reply (ERROR of any kind, or a modem's own refusal
// word that carries no "ERROR").
bool HasError(const QString &block);

} // namespace ReplyText
