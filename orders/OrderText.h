#pragma once
// The order text layout: "#" delivery date "#" customer "#" items "#" remark "#", item lines
// ended by ";", parts of a line separated by ",". Pure text functions, no state.

#include <QString>

namespace Orders {

// Replaces the full-width "＃", "，" and "；" by "#", "," and ";" (in that order). Works on whole
// characters, changes nothing else and trims nothing.
// Belongs with the shared text helpers; kept here until those take it over.
QString NormalizeSeparators(const QString &text);

struct ParsedOrder {
    QString text; // the normalised order text
    int pieceCount = 0; // pieces of text cut at "#"
    QString deliveryDate;
    QString customer;
    QString items;
    QString remark;
};

// Never fails: missing pieces give empty fields. A pieceCount below 2 is the case the operator
// is told about (ParseFailureMessage), after the fields have been written.
ParsedOrder ParseOrderText(const QString &text);

// "信息内容格式不规范，请检查后重新解析！"
QString ParseFailureMessage();

// Takes the whole normalised order text. True when the items field holds a ";" and at least one
// non-blank item line, and every non-blank line has three parts (an empty part does not count).
bool CheckOrderItems(const QString &text);

// The shape the reminder texts are chosen by: at least three pieces, opened and closed by "#".
// Looks at the text as it is (no normalisation, no trimming).
bool IsWellFormedOrder(const QString &text);

} // namespace Orders
