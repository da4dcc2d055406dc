#include "dbgrid.h"

#include "dialogs.h"
#include "guard.h"
#include "recordset.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QStyle>

RecordSetModel::RecordSetModel(DataSource* source, const QStringList& fieldNames, QObject* parent)
    : QAbstractTableModel(parent), m_set(source->DataSet())
{
    for (const QString& name : fieldNames)
        m_fields.push_back(m_set->FieldByName(name).Index());
    m_shownRows = m_set->RecordCount();

    // The record set tells what changed after the fact; the model passes
    // it on so views keep their rows in step.
    connect(m_set, &RecordSet::rowsReset, this, [this] {
        beginResetModel();
        m_shownRows = m_set->RecordCount();
        endResetModel();
    });
    connect(m_set, &RecordSet::rowInserted, this, [this](int row) {
        beginInsertRows({}, row, row);
        m_shownRows = m_set->RecordCount();
        endInsertRows();
    });
    connect(m_set, &RecordSet::rowRemoved, this, [this](int row) {
        beginRemoveRows({}, row, row);
        m_shownRows = m_set->RecordCount();
        endRemoveRows();
    });
    connect(m_set, &RecordSet::rowChanged, this, [this](int row) {
        if (row >= 0 && row < m_shownRows)
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
    const auto indicatorMoved = [this] {
        if (m_shownRows > 0)
            emit headerDataChanged(Qt::Vertical, 0, m_shownRows - 1);
    };
    connect(m_set, &RecordSet::currentRowChanged, this, indicatorMoved);
    connect(m_set, &RecordSet::stateChanged, this, indicatorMoved);
}

Field* RecordSetModel::fieldAt(int column) const
{
    return &m_set->Fields(m_fields.at(size_t(column)));
}

int RecordSetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_shownRows;
}

int RecordSetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_fields.size());
}

QVariant RecordSetModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return m_set->cellText(index.row(), m_fields[size_t(index.column())]);
    return {};
}

QVariant RecordSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        if (role == Qt::DisplayRole && section >= 0 && section < columnCount())
            return fieldAt(section)->DisplayLabel();
        if (role == Qt::TextAlignmentRole)
            return int(Qt::AlignCenter);
        return {};
    }
    // The row indicator: an arrow on the current row, an asterisk while a
    // new row is being built, a caret while the row is edited.
    if (role == Qt::DisplayRole && section == m_set->RecNo()) {
        switch (m_set->State()) {
        case dsInsert:
            return QStringLiteral("*");
        case dsEdit:
            return QStringLiteral("I");
        default:
            return QStringLiteral("▶");
        }
    }
    if (role == Qt::DisplayRole)
        return QString();
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return {};
}

DBGrid::DBGrid(DataSource* source, const QStringList& fieldNames, QWidget* parent)
    : QTableView(parent), m_model(new RecordSetModel(source, fieldNames, this))
{
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(false);
    setShowGrid(true);
    setWordWrap(false);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setFixedWidth(fontMetrics().horizontalAdvance(QLatin1Char('M')) * 2);
    verticalHeader()->setHighlightSections(false);
    for (int c = 0; c < m_model->columnCount(); ++c) {
        const int title = fontMetrics().horizontalAdvance(m_model->fieldAt(c)->DisplayLabel());
        const int content = fontMetrics().horizontalAdvance(QLatin1Char('0')) *
                            std::clamp(m_model->fieldAt(c)->Size(), 4, 30);
        setColumnWidth(c, std::max(title, content) + 16);
    }

    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!m_following && current.isValid())
                    userMovedTo(current.row());
            });
    connect(m_model->dataSet(), &RecordSet::currentRowChanged, this,
            [this](int row) { followCurrentRow(row); });
    connect(m_model, &QAbstractItemModel::modelReset, this,
            [this] { followCurrentRow(m_model->dataSet()->RecNo()); });
    connect(this, &QTableView::clicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            guarded([&] { emit cellClicked(m_model->fieldAt(index.column())); });
    });
    followCurrentRow(m_model->dataSet()->RecNo());
}

void DBGrid::followCurrentRow(int row)
{
    m_following = true;
    if (row >= 0 && row < m_model->rowCount()) {
        const QModelIndex target = m_model->index(row, std::max(0, currentIndex().column()));
        selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect |
                                                      QItemSelectionModel::Rows);
        scrollTo(target);
    } else {
        selectionModel()->clear();
    }
    m_following = false;
}

void DBGrid::userMovedTo(int row)
{
    RecordSet* set = m_model->dataSet();
    guarded([&] { set->SetRecNo(row); });
    // A move the record set refused (a pending change that could not be
    // saved) puts the selection back.
    if (set->RecNo() != row)
        followCurrentRow(set->RecNo());
}

int DBGrid::fitColumnsToTitles()
{
    const int minimum = fontMetrics().horizontalAdvance(QLatin1Char('0')) * 5;
    int total = verticalHeader()->width() + 2 * frameWidth() +
                style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (int c = 0; c < m_model->columnCount(); ++c) {
        const int title = fontMetrics().horizontalAdvance(m_model->fieldAt(c)->DisplayLabel());
        setColumnWidth(c, std::max(title, minimum) + 16);
        total += columnWidth(c);
    }
    return total;
}

void DBGrid::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::ControlModifier) {
        event->accept();
        RecordSet* set = m_model->dataSet();
        if (m_readOnly || !set->Active() || set->RecordCount() == 0)
            return;
        guarded([&] {
            if (dialogs().question(QStringLiteral("Confirm"), QStringLiteral("Delete record?")))
                set->Delete();
        });
        return;
    }
    QTableView::keyPressEvent(event);
}
