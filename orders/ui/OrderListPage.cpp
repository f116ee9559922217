#include "OrderListPage.h"

#include "OrderViews.h"
#include "TStoreView.h"
#include "untPublic.h"

#include <QEvent>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QSqlQuery>
#include <QTableView>
#include <QVBoxLayout>

namespace Orders {

TRowNumberHeader::TRowNumberHeader(QWidget *parent)
    : QHeaderView(Qt::Vertical, parent)
{
    setSectionResizeMode(QHeaderView::ResizeToContents);
    setFixedWidth(Width);
    setSectionsClickable(false);
}

void TRowNumberHeader::setTotal(qint64 total)
{
    m_total = total;
    viewport()->update();
}

QSize TRowNumberHeader::sectionSizeFromContents(int logicalIndex) const
{
    QSize size = QHeaderView::sectionSizeFromContents(logicalIndex);
    size.setWidth(Width);
    return size;
}

void TRowNumberHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    // Window text on button face, centred; row cells have every border but the top one.
    painter->save();
    painter->fillRect(rect, palette().color(QPalette::Button));
    painter->setPen(palette().color(QPalette::Mid));
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    painter->drawLine(rect.topLeft(), rect.bottomLeft());
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->setPen(palette().color(QPalette::WindowText));
    painter->drawText(rect, Qt::AlignCenter, rowText(visualIndex(logicalIndex)));
    painter->restore();
}

TOrderListPage::TOrderListPage(bool numbered, QWidget *parent)
    : QWidget(parent)
{
    grid = new QTableView(this);
    grid->setObjectName(QStringLiteral("grid"));
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSortingEnabled(false);
    grid->setWordWrap(true);
    grid->horizontalHeader()->setSectionsMovable(false);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->horizontalHeader()->setStretchLastSection(false);
    if (numbered) {
        rowHeader = new TRowNumberHeader(grid);
        grid->setVerticalHeader(rowHeader);
        grid->setCornerButtonEnabled(false);
        corner = new QLabel(QStringLiteral("序号"), grid);
        corner->setObjectName(QStringLiteral("corner"));
        corner->setAlignment(Qt::AlignCenter);
        corner->setAutoFillBackground(true);
        corner->setBackgroundRole(QPalette::Button);
        corner->setForegroundRole(QPalette::WindowText);
        corner->setFrameShape(QFrame::Box); // all four borders
        grid->installEventFilter(this);
        grid->horizontalHeader()->installEventFilter(this);
    } else {
        grid->verticalHeader()->hide();
    }
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    popup = new QMenu(this);
    connect(grid, &QWidget::customContextMenuRequested, this,
        [this](const QPoint &at) { popup->popup(grid->viewport()->mapToGlobal(at)); });
    footer = new QLabel(this);
    footer->setObjectName(QStringLiteral("footer"));
    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(2, 2, 2, 2);
    page->addWidget(grid, 1);
    page->addWidget(footer);
}

bool TOrderListPage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize || event->type() == QEvent::Show)
        placeCorner();
    return QWidget::eventFilter(watched, event);
}

void TOrderListPage::placeCorner()
{
    if (!corner)
        return;
    const int frame = grid->frameWidth();
    corner->setGeometry(frame, frame, TRowNumberHeader::Width, grid->horizontalHeader()->height());
    corner->raise();
}

void TOrderListPage::SetModel(TStoreView *view)
{
    if (m_view)
        disconnect(m_view, nullptr, this, nullptr);
    m_view = view;
    grid->setModel(view);
    if (view)
        connect(view, &QAbstractItemModel::modelReset, this, &TOrderListPage::ModelReloaded);
    ModelReloaded();
}

void TOrderListPage::ModelReloaded()
{
    const struct {
        int column;
        int width;
    } shown[] = { { colCustomer, 150 }, { colName, 100 }, { colText, 300 }, { colMobile, 100 },
        { colReceived, 120 } };
    for (const auto &c : shown)
        grid->setColumnWidth(c.column, c.width);
    for (int c : { colDate, colProduct, colDemo, colFid })
        grid->setColumnHidden(c, true);
    // The reset of an opening list comes before the list counts itself as open.
    const bool open = m_view && (m_view->isOpen() || m_view->query().isActive());
    const int rows = open ? RowCount() : 0;
    footer->setText(open ? QStringLiteral("记录数：") + QString::number(rows) : QString());
    if (rowHeader)
        rowHeader->setTotal(rows);
    placeCorner();
}

int TOrderListPage::RowCount() const
{
    if (!m_view)
        return 0;
    return int(m_view->footerCount().value_or(m_view->rowCount()));
}

QStringList TOrderListPage::SelectedValues(int position) const
{
    // Rows in the order the selection holds them, each once.
    QStringList values;
    if (!grid->model() || !grid->selectionModel())
        return values;
    QList<int> rows;
    for (const QItemSelectionRange &range : grid->selectionModel()->selection()) {
        for (int r = range.top(); r <= range.bottom(); ++r) {
            if (!rows.contains(r))
                rows.append(r);
        }
    }
    for (int r : rows)
        values.append(untPublic::TrimText(grid->model()->index(r, position).data().toString()));
    return values;
}

} // namespace Orders
