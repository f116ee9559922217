#include "SaleOrder.h"

namespace Orders {

void ApplyParsedOrder(SaleOrder &order, const ParsedOrder &parsed)
{
    order.fmsg = parsed.text;
    order.fdate = parsed.deliveryDate;
    order.fcustname = parsed.customer;
    order.fproduct = parsed.items;
    order.fdemo = parsed.remark;
}

QString SaveRuleFailure(const SaleOrder &order)
{
    if (order.fdate.isEmpty())
        return QStringLiteral("短信格式错误，发货日期为空！");
    if (order.fcustname.isEmpty())
        return QStringLiteral("短信格式错误，客户名称为空！");
    if (order.fproduct.isEmpty())
        return QStringLiteral("短信格式错误，产品信息为空！");
    if (!CheckOrderItems(order.fmsg))
        return QStringLiteral("产品信息格式错误，请检查后重新保存！");
    return {};
}

} // namespace Orders
