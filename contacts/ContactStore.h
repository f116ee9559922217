#pragma once
// The two store operations of the phone book that the save rules and the import share.

#include "TMessageStore.h"

namespace Contacts {

// Whether a phone-book row other than `excludeId` has exactly this mobile number (0 excludes
// none: a new row is compared with all rows). A failing query is reported and answers false,
// so that it never blocks a save.
bool MobileExists(TMessageStore &store, const QString &mobile, qint64 excludeId = 0);

enum class TGroupOutcome {
    Present, // a group row with the name exists; nothing was written
    Created,
    Failed // the insert failed (reported by the store)
};

// Creates the group `name` unless a group row with that name exists. The name is compared and
// stored as given (not trimmed). A failing presence query is reported and counts as absent.
TGroupOutcome EnsureGroup(TMessageStore &store, const QString &name);

} // namespace Contacts
