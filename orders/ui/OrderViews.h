#pragma once
// The two order lists over SALE_ORDER joined to the phone book: new orders (fstatus 0) and
// history (fstatus 1), newest first. Both have the same columns in the same order; the actions
// read values by position.

#include "TStoreView.h"

namespace Orders {

// Column positions of both order lists.
enum TOrderColumn {
    colCustomer = 0, // 客户名称
    colName, // 姓名
    colText, // 信息内容
    colMobile, // 手机号码
    colReceived, // 接收时间
    colDate, // fdate (hidden)
    colProduct, // fproduct (hidden)
    colDemo, // fdemo (hidden), empty when NULL
    colFid // FID (hidden)
};

// The query of both lists; its one value is the fstatus to list.
QString OrderListQuery();

// ADODataSet5 (新订单, fstatus 0) and ADODataSet6 (历史订单, fstatus 1).
TStoreView *NewOrdersView(TMessageStore &store, QObject *parent = nullptr);
TStoreView *HistoryOrdersView(TMessageStore &store, QObject *parent = nullptr);

} // namespace Orders
