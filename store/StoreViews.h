#pragma once
// The lists of the windows over the store, with their queries. The field names (aliases) are
// the grids' captions and the names the code reads the grids by.

#include "TStoreEditView.h"

namespace StoreViews {

QString OutboxQuery(); // ADODataSet4, page "发信箱"
QString InboxQuery(); // ADODataSet1, page "收信箱"
QString GroupsQuery(); // ADODataSet2, page "通讯组"
QString ContactsQuery(); // ADODataSet3, page "通讯录"
QString RecipientsQuery(); // ADODataSet1 of the recipient dialog

// The footer count of the inbox (SP_TO_SM) or outbox (SM_TO_SP_RC): the list's rows that have a
// number, counted without joining every row.
QString CountByNumber(const QString &table);

// Read-only lists, the footer counting 手机号码.
TStoreView *NewOutboxView(TMessageStore &store, QObject *parent = nullptr);
TStoreView *NewInboxView(TMessageStore &store, QObject *parent = nullptr);
TStoreView *NewRecipientsView(TMessageStore &store, QObject *parent = nullptr);

// Editable lists writing back to SM_TO_SP_FR and PHONE_BOOK.
TStoreEditView *NewGroupsView(TMessageStore &store, QObject *parent = nullptr);
TStoreEditView *NewContactsView(TMessageStore &store, QObject *parent = nullptr);

} // namespace StoreViews
