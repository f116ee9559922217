#pragma once
// The pages "通讯组" and "通讯录": the group grid and the phone-book grid over the window's
// lists, with their save rules, and the phone-book grid's context menu entry "导入通讯录".

#include "TContactCallbacks.h"
#include "TMessageStore.h"
#include "TStoreEditView.h"

#include <QObject>
#include <QPointer>

class QAction;
class QMenu;
class QWidget;

namespace Contacts {

class TEditGrid;

class TContactPages final : public QObject {
    Q_OBJECT
public:
    // Fills `groupPage` and `contactsPage` with the grids over `groups` (ADODataSet2) and
    // `contacts` (ADODataSet3), which stay owned by their maker.
    TContactPages(TMessageStore &store, TStoreEditView *groups, TStoreEditView *contacts,
        QWidget *groupPage, QWidget *contactsPage, TContactCallbacks callbacks,
        QObject *parent = nullptr);

    TEditGrid *GroupGrid = nullptr;
    TEditGrid *ContactGrid = nullptr;
    QMenu *PopupMenu2 = nullptr;
    QAction *N2 = nullptr; // "导入通讯录"

    // The import from the context menu: the file dialog, the import, its one message, and
    // the two lists read afresh after an import that ran.
    void N2Click();

    // The callbacks in use (tests answer the file dialog through them).
    TContactCallbacks &Callbacks() { return m_callbacks; }

private:
    QPointer<TMessageStore> m_store;
    QPointer<TStoreEditView> m_groups;
    QPointer<TStoreEditView> m_contacts;
    TContactCallbacks m_callbacks;
};

} // namespace Contacts
