#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QTableView>

#include <vector>

class DataSource;
class Field;
class RecordSet;

// A table model straight over a record set's rows: nothing is copied, so a
// list of any length costs only the rows on screen.
class RecordSetModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    RecordSetModel(DataSource* source, const QStringList& fieldNames, QObject* parent = nullptr);

    RecordSet* dataSet() const { return m_set; }
    Field* fieldAt(int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    RecordSet* m_set;
    std::vector<int> m_fields; // field index per column
    int m_shownRows = 0;
};

// A grid over a record set: the chosen columns titled with their labels,
// a row indicator, whole-row selection and no editing in place. Selecting a
// row makes it the record set's current row and the other way round. Unless
// read-only, Ctrl+Delete deletes the current row after a confirmation.
class DBGrid : public QTableView
{
    Q_OBJECT
public:
    DBGrid(DataSource* source, const QStringList& fieldNames, QWidget* parent = nullptr);

    RecordSetModel* recordSetModel() const { return m_model; }
    bool isReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    // Narrows every column to its title (a grid to find a row by, beside
    // another); the width the grid needs to show them all.
    int fitColumnsToTitles();

signals:
    // A click on a data cell, with the field of its column.
    void cellClicked(Field* field);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void followCurrentRow(int row);
    void userMovedTo(int row);

    RecordSetModel* m_model;
    bool m_readOnly = false;
    bool m_following = false;
};
