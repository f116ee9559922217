#include "TEditGrid.h"

#include "TGridDelegate.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QSqlRecord>
#include <QToolButton>
#include <QVBoxLayout>

namespace Contacts {

TEditTable::TEditTable(QWidget *parent)
    : QTableView(parent)
{
    setEditTriggers(QAbstractItemView::AllEditTriggers); // the editor follows the cursor
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSortingEnabled(false);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
}

void TEditTable::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        const QModelIndex next = moveCursor(MoveNext, event->modifiers());
        if (next.isValid())
            setCurrentIndex(next);
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void TEditTable::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    // Enter in an editor goes on to the next cell, as Tab does.
    if (hint == QAbstractItemDelegate::SubmitModelCache)
        hint = QAbstractItemDelegate::EditNextItem;
    QTableView::closeEditor(editor, hint);
}

TEditGrid::TEditGrid(TStoreEditView *list, TRowEditModel::TChecker checker,
    const QList<TColumn> &columns, TContactCallbacks callbacks, QWidget *parent)
    : QWidget(parent)
    , m_model(new TRowEditModel(list, std::move(checker), this))
    , m_grid(new TEditTable(this))
    , m_delegate(new TGridDelegate(this))
    , m_columns(columns)
    , m_callbacks(std::move(callbacks))
{
    m_grid->setModel(m_model);
    m_grid->setItemDelegate(m_delegate);

    auto *bar = new QHBoxLayout;
    bar->setContentsMargins(0, 0, 0, 0);
    const struct {
        const char *name;
        const char *hint;
        void (TEditGrid::*action)();
    } buttons[] = { { "nbInsert", "新增", &TEditGrid::Insert },
        { "nbDelete", "删除", &TEditGrid::Delete }, { "nbEdit", "修改", &TEditGrid::Edit },
        { "nbPost", "保存", nullptr }, { "nbCancel", "取消", &TEditGrid::Cancel } };
    for (const auto &b : buttons) {
        auto *button = new QToolButton(this);
        button->setObjectName(QLatin1String(b.name));
        button->setText(QString::fromUtf8(b.hint));
        button->setToolTip(QString::fromUtf8(b.hint));
        button->setFocusPolicy(Qt::NoFocus); // the cell editor keeps the cursor
        if (b.action)
            connect(button, &QToolButton::clicked, this, b.action);
        else
            connect(button, &QToolButton::clicked, this, [this] { Post(); });
        bar->addWidget(button);
        m_buttons.append(button);
    }
    bar->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addLayout(bar);

    connect(m_model, &QAbstractItemModel::modelReset, this, &TEditGrid::applyColumns);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        &TEditGrid::onCurrentRowChanged);
    applyColumns();
}

void TEditGrid::applyColumns()
{
    const QSqlRecord fields = m_model->list() ? m_model->list()->record() : QSqlRecord();
    for (int c = 0; c < fields.count(); ++c) {
        bool shown = false;
        for (const TColumn &column : m_columns) {
            if (column.field == fields.fieldName(c)) {
                m_grid->setColumnWidth(c, column.width);
                shown = true;
            }
        }
        m_grid->setColumnHidden(c, !shown);
    }
}

void TEditGrid::focusField(int row, const QString &field)
{
    const int column = m_model->fieldIndex(field);
    const QModelIndex cell = m_model->index(row, column < 0 ? 0 : column);
    m_refocusing = true;
    m_grid->setCurrentIndex(cell);
    m_refocusing = false;
    m_grid->setFocus();
    m_grid->edit(cell);
}

void TEditGrid::Insert()
{
    if (m_model->isEditing() && !Post())
        return;
    if (!m_model->appendRow())
        return;
    const int row = m_model->editRow();
    const QString first = m_columns.isEmpty() ? QString() : m_columns.first().field;
    focusField(row, first); // a new row starts in its first cell
}

void TEditGrid::Delete()
{
    QList<int> rows;
    const QModelIndexList selected = m_grid->selectionModel()->selectedIndexes();
    for (const QModelIndex &cell : selected) {
        if (!rows.contains(cell.row()))
            rows.append(cell.row());
    }
    if (rows.isEmpty() && m_grid->currentIndex().isValid())
        rows.append(m_grid->currentIndex().row());
    if (!rows.isEmpty())
        m_model->removeRows(rows);
}

void TEditGrid::Edit()
{
    const QModelIndex cell = m_grid->currentIndex();
    if (cell.isValid() && m_model->beginEdit(cell.row()))
        m_grid->edit(cell);
}

bool TEditGrid::Post()
{
    m_delegate->commitOpenEditor();
    if (!m_model->isEditing())
        return true;
    const int row = m_model->editRow();
    const TSaveCheck check = m_model->post();
    if (check.accepted)
        return true;
    if (!check.message.isEmpty() && m_callbacks.inform)
        m_callbacks.inform(check.message);
    if (!check.field.isEmpty())
        focusField(row, check.field);
    return false;
}

void TEditGrid::Cancel()
{
    if (QWidget *editor = m_delegate->openEditor())
        Q_EMIT m_delegate->closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
    m_model->cancel();
}

void TEditGrid::onCurrentRowChanged(const QModelIndex &current, const QModelIndex &previous)
{
    // Leaving an edited row saves it; a refusal brings the cursor back to it.
    if (m_refocusing || !previous.isValid() || previous.row() != m_model->editRow()
        || current.row() == previous.row())
        return;
    const int row = previous.row();
    const TSaveCheck check = m_model->post();
    if (check.accepted)
        return;
    if (!check.message.isEmpty() && m_callbacks.inform)
        m_callbacks.inform(check.message);
    // After the view has finished moving the cursor.
    const QString field = check.field;
    QMetaObject::invokeMethod(
        this, [this, row, field] { focusField(row, field); }, Qt::QueuedConnection);
}

} // namespace Contacts
