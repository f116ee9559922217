#include "OrderPages.h"

#include "DeliveryNoteExport.h"
#include "OrderListPage.h"
#include "OrderText.h"
#include "OrderViews.h"
#include "StoreStatements.h"
#include "TStoreView.h"
#include "uOrder.h"
#include "untPublic.h"

#include <QAction>
#include <QMenu>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

namespace Orders {

static TOrderListPage *fillPage(QWidget *page, bool numbered)
{
    auto *list = new TOrderListPage(numbered, page);
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list);
    return list;
}

TOrderPages::TOrderPages(TMessageStore &store, TOrderHooks hooks, QWidget *newOrdersPage,
    QWidget *historyPage, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_hooks(std::move(hooks))
{
    m_newView = Orders::NewOrdersView(store, this);
    m_oldView = Orders::HistoryOrdersView(store, this);
    NewOrdersPage = fillPage(newOrdersPage, true);
    HistoryPage = fillPage(historyPage, false);
    NewOrdersPage->SetModel(m_newView);
    HistoryPage->SetModel(m_oldView);
    Form1 = new TForm1(store, m_hooks, newOrdersPage->window());

    QMenu *menu = NewOrdersPage->popup;
    actExport = menu->addAction(
        QStringLiteral("导出发货单"), this, [this] { ExportDeliveryNotes(NoteLayout::Plain); });
    actExportPrice = menu->addAction(
        QStringLiteral("导出价格发货单"), this, [this] { ExportDeliveryNotes(NoteLayout::Price); });
    actRemind = menu->addAction(QStringLiteral("短信提醒"), this, &TOrderPages::RemindClick);
    actReply =
        HistoryPage->popup->addAction(QStringLiteral("回复短信"), this, &TOrderPages::ReplyClick);
    actDelete = HistoryPage->popup->addAction(
        QStringLiteral("删除历史订单"), this, &TOrderPages::DeleteHistoryClick);
    connect(NewOrdersPage->grid, &QTableView::doubleClicked, this, &TOrderPages::EditOrder);
}

TOrderPages::~TOrderPages()
{
    // The grids let go of the lists before the lists go.
    NewOrdersPage->SetModel(nullptr);
    HistoryPage->SetModel(nullptr);
}

void TOrderPages::inform(const QString &text) const
{
    if (m_hooks.inform)
        m_hooks.inform(text);
}

void TOrderPages::refresh(TStoreView *view)
{
    m_store.RefreshDataSet(*view);
}

void TOrderPages::EditOrder()
{
    const QStringList fids = NewOrdersPage->SelectedValues(colFid);
    if (fids.isEmpty()) {
        inform(QStringLiteral("请选择需要修改的订单！"));
        return;
    }
    if (!Form1->LoadOrder(fids.first()))
        return;
    // Modal without a loop of its own: the list is reopened when the dialog closes.
    connect(
        Form1, &QDialog::finished, this, [this] { refresh(m_newView); }, Qt::SingleShotConnection);
    Form1->open();
}

void TOrderPages::ConvertMessage(
    const QStringList &mobiles, const QStringList &texts, const QStringList &receivedAt)
{
    if (mobiles.isEmpty() || texts.isEmpty() || receivedAt.isEmpty()) {
        inform(QStringLiteral("请选择需要转换的短信！"));
        return;
    }
    Form1->NewOrderFromMessage(untPublic::TrimText(mobiles.first()),
        untPublic::TrimText(texts.first()), untPublic::TrimText(receivedAt.first()));
    connect(
        Form1, &QDialog::finished, this,
        [this] {
            refresh(m_newView);
            if (m_hooks.showNewOrders)
                m_hooks.showNewOrders();
        },
        Qt::SingleShotConnection);
    Form1->open();
}

void TOrderPages::RemindClick()
{
    const QStringList numbers = NewOrdersPage->SelectedValues(colMobile);
    if (numbers.isEmpty()) {
        inform(QStringLiteral("请选择需要进行短信提醒的订单！"));
        return;
    }
    if (!m_hooks.prefillCompose)
        return;
    if (numbers.size() == 1) {
        const QString text = NewOrdersPage->SelectedValues(colText).value(0);
        const auto &reminder = IsWellFormedOrder(text) ? m_hooks.reminderOk : m_hooks.reminderErr;
        m_hooks.prefillCompose(
            numbers.first(), reminder ? untPublic::TrimText(reminder()) : QString());
        return;
    }
    m_hooks.prefillCompose(numbers.join(u','), QString());
}

void TOrderPages::ReplyClick()
{
    const QStringList numbers = HistoryPage->SelectedValues(colMobile);
    if (numbers.isEmpty()) {
        inform(QStringLiteral("请选择需要进行短信回复的历史订单！"));
        return;
    }
    if (m_hooks.prefillCompose)
        m_hooks.prefillCompose(numbers.join(u','), QString());
}

void TOrderPages::DeleteHistoryClick()
{
    const QStringList fids = HistoryPage->SelectedValues(colFid);
    if (fids.isEmpty()) {
        inform(QStringLiteral("请选择需要删除的历史订单！"));
        return;
    }
    if (m_hooks.confirm && m_hooks.confirm(QStringLiteral("所选订单将被删除，是否确定？"))) {
        QList<qint64> ids;
        for (const QString &fid : fids) {
            bool ok = false;
            const qint64 id = fid.toLongLong(&ok);
            if (ok)
                ids.append(id);
        }
        // A failure is logged by the store; the reopened list shows what is really stored.
        StoreSql::DeleteOrders(m_store, ids);
        inform(QStringLiteral("所选订单已经删除！"));
    }
    refresh(m_oldView);
}

void TOrderPages::ExportDeliveryNotes(NoteLayout layout)
{
    const QStringList fids = NewOrdersPage->SelectedValues(colFid);
    if (fids.isEmpty()) {
        inform(NothingToExportMessage());
        return;
    }
    const QStringList customers = NewOrdersPage->SelectedValues(colCustomer);
    const QStringList received = NewOrdersPage->SelectedValues(colReceived);
    const QStringList dates = NewOrdersPage->SelectedValues(colDate);
    const QStringList items = NewOrdersPage->SelectedValues(colProduct);
    const QStringList remarks = NewOrdersPage->SelectedValues(colDemo);
    // From the last entry of the selection to the first.
    QList<TNoteOrder> orders;
    for (qsizetype i = fids.size() - 1; i >= 0; --i) {
        TNoteOrder o;
        o.customer = customers.value(i);
        o.receivedAt = received.value(i);
        o.deliveryDate = dates.value(i);
        o.items = items.value(i);
        o.remark = remarks.value(i);
        bool ok = false;
        o.fid = fids.at(i).toLongLong(&ok);
        if (!ok) {
            if (m_hooks.fail)
                m_hooks.fail(QStringLiteral("订单编号无效：") + fids.at(i));
            return;
        }
        orders.append(o);
    }
    const QDateTime now = m_hooks.now ? m_hooks.now() : QDateTime::currentDateTime();
    const TExportResult result = WriteDeliveryNotes(m_hooks.appDir, layout, orders, now);
    if (!result.ok) {
        if (m_hooks.fail)
            m_hooks.fail(result.error);
        return;
    }
    // A failed marking is logged by the store; the file stays and the orders stay new.
    StoreSql::MarkOrdersHandled(m_store, result.exportedIds);
    refresh(m_newView);
    refresh(m_oldView);
    if (m_hooks.openDocument)
        m_hooks.openDocument(result.filePath);
}

} // namespace Orders
