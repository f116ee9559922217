#include "uPhone.h"

#include "StoreViews.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

namespace Contacts {

namespace {
    const QString GroupField = QStringLiteral("通讯组");
    const QString NameField = QStringLiteral("姓名");
    const QString MobileField = QStringLiteral("手机号码");
} // namespace

TfSeleMan::TfSeleMan(TMessageStore &store, TContactCallbacks callbacks, QWidget *parent)
    : QDialog(parent)
    , m_callbacks(std::move(callbacks))
{
    setObjectName(QStringLiteral("fSeleMan"));
    setWindowTitle(QStringLiteral("选择短信接收人"));
    setModal(true);
    ADODataSet1 = StoreViews::NewRecipientsView(store, this);
    rows = new QSortFilterProxyModel(this);
    rows->setSourceModel(ADODataSet1);
    rows->setSortRole(Qt::DisplayRole);

    grid = new QTableView(this);
    grid->setObjectName(QStringLiteral("cxGrid1"));
    grid->setModel(rows);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSortingEnabled(false); // only 通讯组 sorts, from its header
    QHeaderView *header = grid->horizontalHeader();
    header->setSectionsMovable(false);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setSectionsClickable(true);
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(header, &QHeaderView::sectionClicked, this, [this](int logical) {
        if (logical == groupColumn())
            SortByGroup(
                m_groupOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder);
    });
    connect(header, &QWidget::customContextMenuRequested, this, &TfSeleMan::groupHeaderMenu);
    connect(rows, &QAbstractItemModel::modelReset, this, &TfSeleMan::applyColumns);

    Button1 = new QPushButton(QStringLiteral("确定"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("取消"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    connect(Button1, &QPushButton::clicked, this, &TfSeleMan::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TfSeleMan::Button2Click);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(grid, 1);
    layout->addLayout(buttons);
    resize(420, 400);
}

int TfSeleMan::groupColumn() const
{
    return ADODataSet1->fieldIndex(GroupField);
}

void TfSeleMan::applyColumns()
{
    QHeaderView *header = grid->horizontalHeader();
    const int group = groupColumn();
    if (group < 0)
        return;
    // Left to right: 通讯组, 姓名, 手机号码.
    const int order[] = { group, ADODataSet1->fieldIndex(NameField),
        ADODataSet1->fieldIndex(MobileField) };
    const int widths[] = { 100, 100, 150 };
    for (int visual = 0; visual < 3; ++visual) {
        if (order[visual] < 0)
            continue;
        if (header->visualIndex(order[visual]) != visual)
            header->moveSection(header->visualIndex(order[visual]), visual);
        grid->setColumnWidth(order[visual], widths[visual]);
    }
}

void TfSeleMan::showEvent(QShowEvent *event)
{
    if (!ADODataSet1->isOpen())
        ADODataSet1->open(); // a failure is reported by the store
    m_selectedNumbers.clear();
    applyColumns();
    QDialog::showEvent(event);
}

void TfSeleMan::done(int result)
{
    QDialog::done(result);
    if (ADODataSet1->isOpen())
        ADODataSet1->close();
}

void TfSeleMan::Button1Click()
{
    const int mobile = ADODataSet1->fieldIndex(MobileField);
    QString numbers;
    const QModelIndexList picked = grid->selectionModel()->selectedRows();
    for (const QModelIndex &row : picked)
        numbers += rows->index(row.row(), mobile).data().toString() + u',';
    if (numbers.isEmpty()) {
        if (m_callbacks.inform)
            m_callbacks.inform(QStringLiteral("请选择短信接收人！"));
        return;
    }
    numbers.chop(1);
    m_selectedNumbers = numbers;
    accept();
}

void TfSeleMan::Button2Click()
{
    reject();
}

void TfSeleMan::SortByGroup(Qt::SortOrder order)
{
    const int group = groupColumn();
    if (group < 0)
        return;
    m_groupOrder = order;
    rows->sort(group, order);
    grid->horizontalHeader()->setSortIndicatorShown(true);
    grid->horizontalHeader()->setSortIndicator(group, order);
}

void TfSeleMan::FilterGroup(const std::optional<QString> &group)
{
    rows->setFilterKeyColumn(groupColumn());
    if (!group) {
        rows->setFilterRegularExpression(QRegularExpression());
        return;
    }
    rows->setFilterRegularExpression(QRegularExpression(
        QRegularExpression::anchoredPattern(QRegularExpression::escape(*group))));
}

QStringList TfSeleMan::GroupValues() const
{
    const int group = groupColumn();
    QStringList values;
    if (group < 0)
        return values;
    while (ADODataSet1->canFetchMore())
        ADODataSet1->fetchMore();
    for (int r = 0; r < ADODataSet1->rowCount(); ++r) {
        const QString v = ADODataSet1->index(r, group).data().toString();
        if (!values.contains(v))
            values.append(v);
    }
    values.sort();
    return values;
}

void TfSeleMan::groupHeaderMenu(const QPoint &at)
{
    QHeaderView *header = grid->horizontalHeader();
    if (header->logicalIndexAt(at) != groupColumn())
        return; // the other columns are not filtered
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(QStringLiteral("(全部)"), this, [this] { FilterGroup(std::nullopt); });
    for (const QString &value : GroupValues())
        menu->addAction(value.isEmpty() ? QStringLiteral("(空白)") : value, this,
            [this, value] { FilterGroup(value); });
    menu->popup(header->viewport()->mapToGlobal(at));
}

} // namespace Contacts
