#pragma once

#include <QComboBox>

class DataSource;
class Field;
class FieldLink;
class RecordSet;
class RecordSetModel;

// A selector that fills a column of one record set (the data) from the rows
// of another (the list). It offers the list's rows in their order, showing
// their `listField`; choosing a row stores its `keyField` into the data's
// `dataField`, putting a data record set in browse state into edit state
// first. It shows the first row whose key equals the stored value, nothing
// when the value is empty or no row has it.
//
// It also keeps the list on that row: whenever the data's current row,
// state or values change, the list record set is moved to the first row
// whose key equals the stored value; when none has it (or the value is
// empty, or the list has a change pending) the list stays where it is.
// Browsing the drop-down list does not move it.
//
// Leaving it by moving the focus elsewhere in its window emits exited();
// opening its drop-down list or switching windows does not.
class DBLookupComboBox : public QComboBox
{
    Q_OBJECT
public:
    DBLookupComboBox(DataSource* data, const QString& dataField, DataSource* list,
                     const QString& keyField, const QString& listField, QWidget* parent = nullptr);

    Field* field() const;
    RecordSet* listSet() const { return m_list; }
    // The stored value: the data field's text, empty while its record set
    // is closed.
    QString keyValue() const;
    // The key of list row `index`.
    QString keyAt(int index) const;

signals:
    void exited();

private:
    void showStoredValue();
    void storedValueChanged();
    void userChose(int index);

    FieldLink* m_link;
    RecordSet* m_list;
    RecordSetModel* m_model;
    int m_keyField;
};
