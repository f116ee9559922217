#pragma once
// Splitting the recipient field into entries.

#include <QString>
#include <QStringList>

namespace Gateway {

// Entries end at a comma or at a run of blanks (codes 0 to 32); blanks before an entry are
// skipped; an entry that starts with a double quote runs to the closing quote (a doubled
// quote inside stands for one) and may hold commas and blanks. Two commas in a row, or a comma
// at the very end, give an empty entry. Entries are returned as found (untrimmed).
QStringList SplitRecipients(QStringView numbers);

} // namespace Gateway
