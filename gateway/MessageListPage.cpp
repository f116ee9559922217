#include "MessageListPage.h"

#include "TStoreView.h"
#include "untPublic.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QTableView>
#include <QVBoxLayout>

namespace Gateway {

TMessageListPage::TMessageListPage(
    const QString &timeCaption, const QString &keyCaption, QWidget *parent)
    : QWidget(parent)
    , m_timeCaption(timeCaption)
    , m_keyCaption(keyCaption)
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

void TMessageListPage::SetModel(TStoreView *view)
{
    if (m_view)
        disconnect(m_view, nullptr, this, nullptr);
    m_view = view;
    QAbstractItemModel *model = view;
    grid->setModel(model);
    if (model) {
        connect(model, &QAbstractItemModel::modelReset, this, &TMessageListPage::ModelReloaded);
    }
    ModelReloaded();
}

int TMessageListPage::column(const QString &caption) const
{
    const QAbstractItemModel *m = grid->model();
    if (!m)
        return -1;
    for (int c = 0; c < m->columnCount(); ++c) {
        if (m->headerData(c, Qt::Horizontal).toString().compare(caption, Qt::CaseInsensitive) == 0)
            return c;
    }
    return -1;
}

void TMessageListPage::ModelReloaded()
{
    QHeaderView *header = grid->horizontalHeader();
    const struct {
        QString caption;
        int width;
    } layout[] = { { QStringLiteral("姓名"), 100 }, { QStringLiteral("手机号码"), 100 },
        { QStringLiteral("信息内容"), 430 }, { m_timeCaption, 120 } };
    int visual = 0;
    for (const auto &col : layout) {
        const int c = column(col.caption);
        if (c < 0)
            continue;
        header->moveSection(header->visualIndex(c), visual++);
        grid->setColumnWidth(c, col.width);
    }
    const int key = column(m_keyCaption);
    if (key >= 0)
        grid->setColumnHidden(key, true);
    footer->setText(m_view && m_view->isOpen()
            ? QStringLiteral("记录数：") + QString::number(RowCount())
            : QString());
}

int TMessageListPage::RowCount() const
{
    if (!m_view)
        return 0;
    return int(m_view->footerCount().value_or(m_view->rowCount()));
}

QStringList TMessageListPage::SelectedValues(const QString &caption) const
{
    // Rows in the order the selection holds them; a row counts once, whichever of its cells
    // (the hidden key included or not) are selected.
    QStringList values;
    const int c = column(caption);
    if (c < 0 || !grid->selectionModel())
        return values;
    QList<int> rows;
    for (const QItemSelectionRange &range : grid->selectionModel()->selection()) {
        for (int r = range.top(); r <= range.bottom(); ++r) {
            if (!rows.contains(r))
                rows.append(r);
        }
    }
    for (int r : rows)
        values.append(untPublic::TrimText(grid->model()->index(r, c).data().toString()));
    return values;
}

QString TMessageListPage::JoinSelectedValues(const QString &caption) const
{
    QString joined;
    for (const QString &v : SelectedValues(caption))
        joined += v + u',';
    return joined;
}

} // namespace Gateway
