#include "ContactRules.h"

#include "ContactStore.h"

namespace Contacts {

namespace {

    // Characters as typed: a character outside the basic plane is one, not two.
    qsizetype CharacterCount(const QString &text)
    {
        qsizetype count = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (!(text.at(i).isLowSurrogate() && i > 0 && text.at(i - 1).isHighSurrogate()))
                ++count;
        }
        return count;
    }

} // namespace

TSaveCheck CheckContactFields(const QString &name, const QString &mobile)
{
    const QString nameField = QStringLiteral("姓名");
    const QString mobileField = QStringLiteral("手机号码");
    if (name.isEmpty())
        return TSaveCheck::Refuse(QStringLiteral("姓名不能为空，请修改后保存！"), nameField);
    if (mobile.isEmpty())
        return TSaveCheck::Refuse(QStringLiteral("手机号码不能为空，请修改后保存！"), mobileField);
    if (CharacterCount(mobile) != MobileLength)
        return TSaveCheck::Refuse(
            QStringLiteral("手机号码长度为11位，请修改后保存！"), mobileField);
    return TSaveCheck::Accept();
}

TSaveCheck CheckContactSave(
    TMessageStore &store, const QString &name, const QString &mobile, qint64 id)
{
    TSaveCheck check = CheckContactFields(name, mobile);
    if (!check.accepted)
        return check;
    if (MobileExists(store, mobile, id))
        return TSaveCheck::Refuse(
            QStringLiteral("手机号码重复，请修改后保存！"), QStringLiteral("手机号码"));
    return TSaveCheck::Accept();
}

TSaveCheck CheckGroupSave(const QString &groupName)
{
    if (groupName.isEmpty())
        return TSaveCheck::Refuse(
            QStringLiteral("通讯组名称不能为空，请修改后保存！"), QStringLiteral("组名称"));
    return TSaveCheck::Accept();
}

} // namespace Contacts
