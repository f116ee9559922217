#include "PhoneBookLayout.h"

namespace Contacts {

QStringList ImportHeader()
{
    return { QStringLiteral("姓名"), QStringLiteral("手机号码"), QStringLiteral("电话"),
        QStringLiteral("工作单位"), QStringLiteral("职务"), QStringLiteral("备注"),
        QStringLiteral("通讯组") };
}

bool ImportHeaderOK(const QStringList &header)
{
    return header.size() >= ImportColumnCount && header.mid(0, ImportColumnCount) == ImportHeader();
}

} // namespace Contacts
