#pragma once
// The operator's side of orders: the pages 新订单 and 历史订单 with their menus, the order
// dialog, the conversion of a received message, reminders and replies through the compose page,
// the deletion of history orders and the delivery-note export.

#include "NoteLayout.h"
#include "OrderHooks.h"

#include <QObject>
#include <QStringList>

class QAction;
class QWidget;
class TMessageStore;
class TStoreView;

namespace Orders {

class TForm1;
class TOrderListPage;

class TOrderPages final : public QObject {
    Q_OBJECT
public:
    // Builds the two pages into the given page widgets and the lists over the store (closed;
    // the window's page switching opens them).
    TOrderPages(TMessageStore &store, TOrderHooks hooks, QWidget *newOrdersPage,
        QWidget *historyPage, QObject *parent = nullptr);
    ~TOrderPages() override;

    TStoreView *NewOrdersView() const { return m_newView; } // ADODataSet5
    TStoreView *HistoryView() const { return m_oldView; } // ADODataSet6

    // Double-click in the new-order list: edit the first selected order.
    void EditOrder();
    // 短信转订单: the 手机号码, 信息内容 and 接收时间 of the selected inbox rows, in selection
    // order (the first row is converted).
    void ConvertMessage(
        const QStringList &mobiles, const QStringList &texts, const QStringList &receivedAt);
    // 短信提醒, 回复短信, 删除历史订单.
    void RemindClick();
    void ReplyClick();
    void DeleteHistoryClick();
    // 导出发货单 / 导出价格发货单.
    void ExportDeliveryNotes(NoteLayout layout);

    TOrderListPage *NewOrdersPage = nullptr;
    TOrderListPage *HistoryPage = nullptr;
    TForm1 *Form1 = nullptr;
    QAction *actExport = nullptr;
    QAction *actExportPrice = nullptr;
    QAction *actRemind = nullptr;
    QAction *actReply = nullptr;
    QAction *actDelete = nullptr;

private:
    void inform(const QString &text) const;
    void refresh(TStoreView *view);

    TMessageStore &m_store;
    TOrderHooks m_hooks;
    TStoreView *m_newView = nullptr;
    TStoreView *m_oldView = nullptr;
};

} // namespace Orders
