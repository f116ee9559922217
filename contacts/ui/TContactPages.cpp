#include "TContactPages.h"

#include "ContactRules.h"
#include "PhoneBookImport.h"
#include "TEditGrid.h"
#include "TGridDelegate.h"

#include <QAction>
#include <QMenu>
#include <QVBoxLayout>

namespace Contacts {

namespace {
    void Fill(QWidget *page, QWidget *grid)
    {
        auto *layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(grid);
    }
} // namespace

TContactPages::TContactPages(TMessageStore &store, TStoreEditView *groups, TStoreEditView *contacts,
    QWidget *groupPage, QWidget *contactsPage, TContactCallbacks callbacks, QObject *parent)
    : QObject(parent)
    , m_store(&store)
    , m_groups(groups)
    , m_contacts(contacts)
    , m_callbacks(std::move(callbacks))
{
    // The grids show their messages through the callbacks held here, so that a test that
    // replaces them later is heard by the grids too.
    TContactCallbacks forward;
    forward.inform = [this](const QString &text) {
        if (m_callbacks.inform)
            m_callbacks.inform(text);
    };

    GroupGrid = new TEditGrid(
        groups,
        [](const QVariantMap &values, qint64) {
            return CheckGroupSave(values.value(QStringLiteral("组名称")).toString());
        },
        { { QStringLiteral("组名称"), 200 }, { QStringLiteral("备注"), 300 } }, forward);
    GroupGrid->setObjectName(QStringLiteral("RzDBGrid2"));
    Fill(groupPage, GroupGrid);

    ContactGrid = new TEditGrid(
        contacts,
        [this](const QVariantMap &values, qint64 key) {
            const QString name = values.value(QStringLiteral("姓名")).toString();
            const QString mobile = values.value(QStringLiteral("手机号码")).toString();
            if (!m_store)
                return CheckContactFields(name, mobile);
            return CheckContactSave(*m_store, name, mobile, key);
        },
        { { QStringLiteral("通讯组"), 100 }, { QStringLiteral("姓名"), 80 },
            { QStringLiteral("手机号码"), 100 }, { QStringLiteral("电话号码"), 150 },
            { QStringLiteral("职务"), 100 }, { QStringLiteral("工作单位"), 300 },
            { QStringLiteral("备注"), 200 } },
        forward);
    ContactGrid->setObjectName(QStringLiteral("RzDBGrid3"));
    ContactGrid->delegate()->setGroupField(
        QStringLiteral("通讯组"), groups, QStringLiteral("组名称"));
    Fill(contactsPage, ContactGrid);

    PopupMenu2 = new QMenu(ContactGrid->grid());
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    N2 = PopupMenu2->addAction(QStringLiteral("导入通讯录"), this, &TContactPages::N2Click);
    N2->setObjectName(QStringLiteral("N2"));
    ContactGrid->grid()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(
        ContactGrid->grid(), &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
            PopupMenu2->popup(ContactGrid->grid()->viewport()->mapToGlobal(at));
        });
    GroupGrid->grid()->setContextMenuPolicy(Qt::NoContextMenu);
}

void TContactPages::N2Click()
{
    if (!m_store || !m_callbacks.openFile)
        return;
    // Both kinds of workbook are read; the caption names the old kind as the operators know it.
    const QString path = m_callbacks.openFile(
        QStringLiteral("打开要导入的通讯录文件"), QStringLiteral("EXCEL文件 (*.xls *.xlsx)"));
    if (path.isEmpty())
        return;
    const TImportResult result = ImportPhoneBook(*m_store, path);
    if (!result.reason.isEmpty() && m_callbacks.logError)
        m_callbacks.logError(result.message + u'\n' + path + u'\n' + result.reason);
    if (m_callbacks.inform)
        m_callbacks.inform(result.message);
    if (!result.reloadLists())
        return;
    for (TStoreEditView *list : { m_groups.data(), m_contacts.data() }) {
        if (!list)
            continue;
        if (list->isOpen())
            list->close();
        list->open(); // a failure is reported by the store
    }
}

} // namespace Contacts
