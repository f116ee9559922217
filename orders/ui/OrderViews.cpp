#include "OrderViews.h"

namespace Orders {

QString OrderListQuery()
{
    return QStringLiteral(
        "SELECT SALE_ORDER.fcustname AS 客户名称,PHONE_BOOK.FNAME AS 姓名,SALE_ORDER.fmsg AS "
        "信息内容,SALE_ORDER.fmobile AS 手机号码,SALE_ORDER.frevdate AS 接收时间,SALE_ORDER.fdate "
        "AS fdate,SALE_ORDER.fproduct AS fproduct,IFNULL(SALE_ORDER.fdemo,'') AS "
        "fdemo,SALE_ORDER.FID AS FID FROM SALE_ORDER LEFT OUTER JOIN PHONE_BOOK ON "
        "SALE_ORDER.fmobile=PHONE_BOOK.FMOBILE WHERE SALE_ORDER.fstatus=? ORDER BY "
        "SALE_ORDER.FID DESC");
}

static TStoreView *newView(TMessageStore &store, const char *name, int status, QObject *parent)
{
    auto *view = new TStoreView(store, QLatin1String(name), OrderListQuery(), parent);
    view->setValues({ status });
    return view;
}

TStoreView *NewOrdersView(TMessageStore &store, QObject *parent)
{
    return newView(store, "ADODataSet5", 0, parent);
}

TStoreView *HistoryOrdersView(TMessageStore &store, QObject *parent)
{
    return newView(store, "ADODataSet6", 1, parent);
}

} // namespace Orders
