#include "UserPrompts.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

namespace Gateway {

void TWidgetPrompts::Inform(const QString &text, const QString &caption)
{
    QMessageBox::information(m_parent, caption, text);
}

void TWidgetPrompts::Fail(const QString &text, const QString &caption)
{
    QMessageBox::critical(m_parent, caption, text);
}

bool TWidgetPrompts::Confirm(const QString &text, const QString &caption)
{
    return QMessageBox::information(
               m_parent, caption, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

void TWidgetPrompts::OpenDocument(const QString &path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace Gateway
