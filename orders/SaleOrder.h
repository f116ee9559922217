#pragma once
// One row of SALE_ORDER as the order dialog holds it, the parse written into it and the checks
// a save must pass.

#include "OrderText.h"

#include <QString>

namespace Orders {

struct SaleOrder {
    qint64 FID = 0; // given by the store on insert
    QString fmsg; // the received text until the first parse, the normalised text after it
    QString fdate;
    QString fcustname;
    QString fproduct;
    QString fdemo; // may be empty (NULL in the store)
    QString fmobile;
    QString frevdate;
    int fstatus = 0; // 0 new, 1 delivery note made
};

// Writes a parse into the row: the normalised text and all four fields, empty ones included.
void ApplyParsedOrder(SaleOrder &order, const ParsedOrder &parsed);

// The four save rules in their order (delivery date, customer, items present, item lines well
// formed). Returns the message of the first that fails, or an empty text when the row may be
// saved.
QString SaveRuleFailure(const SaleOrder &order);

} // namespace Orders
