#pragma once

#include <QLabel>
#include <QLineEdit>

class DataSource;
class Field;
class RecordSet;

// Follows one field of a record set's current row: shows its value when the
// row, the state or the value changes.
class FieldLink : public QObject
{
    Q_OBJECT
public:
    FieldLink(DataSource* source, const QString& fieldName, QObject* parent);
    RecordSet* dataSet() const { return m_set; }
    Field* field() const { return m_field; }
    QString text() const;

signals:
    void changed();

private:
    RecordSet* m_set;
    Field* m_field;
};

// Limits what can be typed into `edit` to the size of text column `field`.
// The column counts characters, the edit UTF-16 units: the edit leaves room
// for characters outside the Basic Multilingual Plane (emoji), which take
// two units each, and the field cuts what is typed to the column's size
// without ever splitting one of them.
void limitToColumn(QLineEdit* edit, const Field* field);

// An edit bound to a field: limited to the column's size; typing puts a
// record set in browse state into edit state and writes into the field.
// Read-only edits show white text on the window-frame colour.
class DBEdit : public QLineEdit
{
    Q_OBJECT
public:
    DBEdit(DataSource* source, const QString& fieldName, QWidget* parent = nullptr);
    Field* field() const { return m_link->field(); }
    void setReadOnly(bool readOnly);

private:
    void refresh();
    void userTyped(const QString& text);

    FieldLink* m_link;
    bool m_writing = false;
};

// A label showing a field of the current row.
class DBText : public QLabel
{
    Q_OBJECT
public:
    DBText(DataSource* source, const QString& fieldName, QWidget* parent = nullptr);

private:
    FieldLink* m_link;
};
