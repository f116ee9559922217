#pragma once
// Drops typed characters a field does not accept (backspace and editing keys always pass).

#include <QObject>
#include <functional>

namespace Gateway {

class TKeyFilter final : public QObject {
    Q_OBJECT
public:
    using TAccept = std::function<bool(QChar)>;
    TKeyFilter(TAccept accept, QObject *parent)
        : QObject(parent)
        , m_accept(std::move(accept))
    {
    }

    // Installs a filter on `field` that keeps only characters `accept` lets through.
    static void Install(QObject *field, TAccept accept);
    static bool Digit(QChar c) { return c >= u'0' && c <= u'9'; }
    static bool DigitOrComma(QChar c) { return Digit(c) || c == u','; }
    static bool Letter(QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TAccept m_accept;
};

} // namespace Gateway
