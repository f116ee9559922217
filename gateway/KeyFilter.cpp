#include "KeyFilter.h"

#include <QKeyEvent>

namespace Gateway {

void TKeyFilter::Install(QObject *field, TAccept accept)
{
    field->installEventFilter(new TKeyFilter(std::move(accept), field));
}

bool TKeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() == Qt::Key_Backspace)
        return false;
    // Keys that type a character (Enter and Tab included); shortcuts and cursor keys pass.
    const QString text = key->text();
    if (text.isEmpty() || (key->modifiers() & Qt::ControlModifier))
        return false;
    for (QChar c : text) {
        if (!m_accept(c))
            return true;
    }
    return false;
}

} // namespace Gateway
