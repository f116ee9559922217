#include "StoreViews.h"

namespace StoreViews {

namespace {
    QString PhoneField()
    {
        return QStringLiteral("手机号码");
    }

} // namespace

// One row per message with a number, and one more for each further contact sharing that number
// (the join lists such a message once per contact). This reads two indexes.
QString CountByNumber(const QString &table)
{
    return QStringLiteral(
        "SELECT (SELECT COUNT(TP_DA) FROM %1) + (SELECT COALESCE(SUM(d.extra), 0) "
        "FROM (SELECT FMOBILE, COUNT(*) - 1 AS extra FROM PHONE_BOOK GROUP BY "
        "FMOBILE HAVING COUNT(*) > 1) d JOIN %1 m ON m.TP_DA = d.FMOBILE)")
        .arg(table);
}

QString OutboxQuery()
{
    return QStringLiteral(
        "SELECT SM_TO_SP_RC.TP_DT AS 发送时间,SM_TO_SP_RC.TP_DA AS 手机号码,SM_TO_SP_RC.TP_UD AS "
        "信息内容,PHONE_BOOK.FNAME AS 姓名,SM_TO_SP_RC.ID FROM SM_TO_SP_RC LEFT OUTER JOIN "
        "PHONE_BOOK ON SM_TO_SP_RC.TP_DA=PHONE_BOOK.FMOBILE ORDER BY SM_TO_SP_RC.ID DESC");
}

QString InboxQuery()
{
    return QStringLiteral(
        "SELECT SP_TO_SM.TP_DT AS 接收时间,SP_TO_SM.TP_DA AS 手机号码,SP_TO_SM.TP_UD AS "
        "信息内容,PHONE_BOOK.FNAME AS 姓名,SP_TO_SM.id FROM SP_TO_SM  LEFT OUTER JOIN PHONE_BOOK "
        "ON SP_TO_SM.TP_DA=PHONE_BOOK.FMOBILE ORDER BY SP_TO_SM.ID DESC");
}

QString GroupsQuery()
{
    return QStringLiteral("SELECT TP_DA AS 组名称,TP_UD AS 备注,ID FROM SM_TO_SP_FR ORDER BY ID");
}

QString ContactsQuery()
{
    return QStringLiteral(
        "select FGROUP AS 通讯组,FNAME as [姓名],FMOBILE as [手机号码], FPHONE as 电话号码, "
        "FTITLE as 职务, FUNIT as 工作单位, FDEMO as 备注,ID from phone_book\nORDER BY FGROUP");
}

QString RecipientsQuery()
{
    return QStringLiteral(
        "select FNAME as 姓名,FMOBILE as 手机号码,FGROUP as 通讯组 from phone_book");
}

TStoreView *NewOutboxView(TMessageStore &store, QObject *parent)
{
    auto *view = new TStoreView(store, QStringLiteral("ADODataSet4"), OutboxQuery(), parent);
    view->setCountColumn(PhoneField());
    view->setCountStatement(CountByNumber(QStringLiteral("SM_TO_SP_RC")));
    return view;
}

TStoreView *NewInboxView(TMessageStore &store, QObject *parent)
{
    auto *view = new TStoreView(store, QStringLiteral("ADODataSet1"), InboxQuery(), parent);
    view->setCountColumn(PhoneField());
    view->setCountStatement(CountByNumber(QStringLiteral("SP_TO_SM")));
    return view;
}

TStoreView *NewRecipientsView(TMessageStore &store, QObject *parent)
{
    auto *view =
        new TStoreView(store, QStringLiteral("fSeleMan-ADODataSet1"), RecipientsQuery(), parent);
    view->setCountColumn(PhoneField());
    return view;
}

TStoreEditView *NewGroupsView(TMessageStore &store, QObject *parent)
{
    return new TStoreEditView(store, QStringLiteral("ADODataSet2"), GroupsQuery(),
        QStringLiteral("SM_TO_SP_FR"), QStringLiteral("ID"),
        { { QStringLiteral("组名称"), QStringLiteral("TP_DA") },
            { QStringLiteral("备注"), QStringLiteral("TP_UD") } },
        parent);
}

TStoreEditView *NewContactsView(TMessageStore &store, QObject *parent)
{
    return new TStoreEditView(store, QStringLiteral("ADODataSet3"), ContactsQuery(),
        QStringLiteral("PHONE_BOOK"), QStringLiteral("ID"),
        { { QStringLiteral("通讯组"), QStringLiteral("FGROUP") },
            { QStringLiteral("姓名"), QStringLiteral("FNAME") },
            { QStringLiteral("手机号码"), QStringLiteral("FMOBILE") },
            { QStringLiteral("电话号码"), QStringLiteral("FPHONE") },
            { QStringLiteral("职务"), QStringLiteral("FTITLE") },
            { QStringLiteral("工作单位"), QStringLiteral("FUNIT") },
            { QStringLiteral("备注"), QStringLiteral("FDEMO") } },
        parent);
}

} // namespace StoreViews
