#pragma once
// What the contact pages and the recipient dialog need from the window around them: the
// operator's message boxes, the open-file dialog and the error log. Passed in, so that this
// library does not depend on the main window and tests answer them.

#include <QString>
#include <functional>

namespace Contacts {

struct TContactCallbacks {
    // An information box with an OK button.
    std::function<void(const QString &text)> inform;
    // The open-file dialog; the chosen file, or empty when cancelled.
    std::function<QString(const QString &title, const QString &filter)> openFile;
    // One entry of the error log.
    std::function<void(const QString &text)> logError;
};

} // namespace Contacts
