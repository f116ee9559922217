#pragma once
// An order list page (新订单, 历史订单): a read-only grid over an order list, several rows
// selectable, rows as high as their text, a footer counting the rows under 姓名, a context menu.
// The new-order list carries a numbered row header "序号": the newest order the highest number.

#include <QHeaderView>
#include <QStringList>
#include <QWidget>

class QLabel;
class QMenu;
class QTableView;
class TStoreView;

namespace Orders {

// The row header: "序号" in its corner, count minus position in each row.
class TRowNumberHeader final : public QHeaderView {
    Q_OBJECT
public:
    static constexpr int Width = 35;
    explicit TRowNumberHeader(QWidget *parent = nullptr);
    // The number of rows of the list (the query's, not only those read so far).
    void setTotal(qint64 total);
    qint64 total() const { return m_total; }
    // The text of the row at a position of the view (0 at the top).
    QString rowText(int position) const { return QString::number(m_total - position); }

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;
    QSize sectionSizeFromContents(int logicalIndex) const override;

private:
    qint64 m_total = 0;
};

class TOrderListPage final : public QWidget {
    Q_OBJECT
public:
    explicit TOrderListPage(bool numbered, QWidget *parent = nullptr);

    void SetModel(TStoreView *view);
    // Column layout, footer and row numbers after the list was opened or reloaded.
    void ModelReloaded();

    // The trimmed values at a column position of the selected rows, in selection order.
    QStringList SelectedValues(int position) const;
    int RowCount() const;

    QTableView *grid;
    QLabel *footer;
    QMenu *popup;
    TRowNumberHeader *rowHeader = nullptr; // new-order list only
    QLabel *corner = nullptr; // "序号"

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void placeCorner();

    TStoreView *m_view = nullptr;
};

} // namespace Orders
