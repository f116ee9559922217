#pragma once
// What the order pages need from the main window, given as callbacks so that the pages do not
// depend on the window (and tests answer them).

#include <QDateTime>
#include <QString>
#include <functional>

namespace Orders {

struct TOrderHooks {
    // An information box with an OK button, caption "提示".
    std::function<void(const QString &text)> inform;
    // The application's general error message.
    std::function<void(const QString &text)> fail;
    // A Yes/No box with the information icon, caption "提示"; true only for Yes.
    std::function<bool(const QString &text)> confirm;
    // Shows a file with the desktop's program for it.
    std::function<void(const QString &path)> openDocument;
    // Adds numbers to the recipient field, replaces the message text and brings the compose
    // page to the front, without sending.
    std::function<void(const QString &numbers, const QString &text)> prefillCompose;
    // The reminder texts of 正确订单提醒设置 and 错误订单提醒设置, as the settings page holds them.
    std::function<QString()> reminderOk;
    std::function<QString()> reminderErr;
    // Makes the page 新订单 the active page.
    std::function<void()> showNewOrders;
    // The moment an export is named by; the current time when empty.
    std::function<QDateTime()> now;
    QString appDir; // with a trailing separator
};

} // namespace Orders
