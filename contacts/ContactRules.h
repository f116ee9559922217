#pragma once
// The rules checked before a phone-book or group row is saved from its grid. Each refusal
// carries the fixed message and the field the cursor goes to; the grid shows and focuses them.

#include "TMessageStore.h"

#include <QString>

namespace Contacts {

struct TSaveCheck {
    bool accepted = true;
    QString message; // empty when accepted
    QString field; // the list's field name to focus ("姓名", "手机号码", "组名称")

    static TSaveCheck Accept() { return {}; }
    static TSaveCheck Refuse(const QString &message, const QString &field)
    {
        return { false, message, field };
    }
};

// The fixed length of a mobile number, in characters as typed.
constexpr qsizetype MobileLength = 11;

// Rules 1 to 3 of a phone-book row, which need no store: the name is not empty, the mobile
// number is not empty and has exactly 11 characters. Values as the row holds them (not
// trimmed: a blank counts as a character).
TSaveCheck CheckContactFields(const QString &name, const QString &mobile);

// All four rules in their order, the fourth being that no other row (`id` 0 for a new row)
// has this mobile number. A failing duplicate test is reported and lets the row pass.
TSaveCheck CheckContactSave(
    TMessageStore &store, const QString &name, const QString &mobile, qint64 id);

// A group row needs a name; names need not be unique.
TSaveCheck CheckGroupSave(const QString &groupName);

} // namespace Contacts
