#include "ContactStore.h"

#include "StoreStatements.h"
#include "StoreText.h"

namespace Contacts {

bool MobileExists(TMessageStore &store, const QString &mobile, qint64 excludeId)
{
    return StoreSql::MobileTaken(store, mobile, excludeId).value_or(false);
}

TGroupOutcome EnsureGroup(TMessageStore &store, const QString &name)
{
    bool present = StoreSql::GroupId(store, name).value_or(0) > 0;
    // The insert goes through ExecCmdSQL, which stores a double quote as “; a group made that
    // way must be found again under the name it was asked for, or every call would add one.
    const QString stored = StoreText::ReplaceDoubleQuotes(name);
    if (!present && stored != name)
        present = StoreSql::GroupId(store, stored).value_or(0) > 0;
    if (present)
        return TGroupOutcome::Present;
    return StoreSql::AddGroup(store, name) ? TGroupOutcome::Created : TGroupOutcome::Failed;
}

} // namespace Contacts
