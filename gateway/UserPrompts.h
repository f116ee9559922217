#pragma once
// Operator messages and the shell's "Open", behind an interface so that tests answer them.

#include <QString>

class QWidget;

namespace Gateway {

class IUserPrompts {
public:
    virtual ~IUserPrompts() = default;
    // An information box with an OK button, caption "提示" unless given.
    virtual void Inform(const QString &text, const QString &caption = QStringLiteral("提示")) = 0;
    // An error box with an OK button.
    virtual void Fail(const QString &text, const QString &caption = QStringLiteral("错误")) = 0;
    // A Yes/No box with the information icon; true only for Yes.
    virtual bool Confirm(const QString &text, const QString &caption = QStringLiteral("提示")) = 0;
    // Shows a file with the desktop's program for it.
    virtual void OpenDocument(const QString &path) = 0;
};

// Modal message boxes over a parent window, and QDesktopServices for documents.
class TWidgetPrompts final : public IUserPrompts {
public:
    explicit TWidgetPrompts(QWidget *parent)
        : m_parent(parent)
    {
    }
    void Inform(const QString &text, const QString &caption) override;
    void Fail(const QString &text, const QString &caption) override;
    bool Confirm(const QString &text, const QString &caption) override;
    void OpenDocument(const QString &path) override;

private:
    QWidget *m_parent;
};

} // namespace Gateway
