#pragma once

#include <QComboBox>

class DataSource;
class Field;
class FieldLink;

// A drop-down list bound to a text column. Each choice has a caption, which
// the list shows, and a value, which the column stores; a choice added
// without a value stores its caption. The box shows the choice whose value
// the column holds.
//
// Editable (the default), it is a drop-down edit: besides the choices it
// accepts any text, stored exactly as typed (no completion), limited to the
// column's size, and a value that is no choice's is shown as it is. A fixed
// list accepts only its choices and shows nothing for another value.
//
// Choosing or typing puts a record set in browse state into edit state
// first, then stores the value and reports it with valueEdited().
class DBComboBox : public QComboBox
{
    Q_OBJECT
public:
    enum class Style
    {
        Editable,  // choices and free text
        FixedList, // choices only
    };

    DBComboBox(DataSource* source, const QString& fieldName, Style style = Style::Editable,
               QWidget* parent = nullptr);
    Field* field() const;

    // Offers `caption`; choosing it stores `value`, or the caption itself
    // when no value is given.
    void addChoice(const QString& caption, const QString& value = QString());
    // Offers each text, stored as shown.
    void setChoices(const QStringList& captions);
    // What choosing item `index` stores.
    QString valueAt(int index) const;
    // The first item that stores `value`, -1 when none.
    int indexOfValue(const QString& value) const;

signals:
    // The user changed the column's value, by choosing or by typing; a
    // record moved to or re-read does not count.
    void valueEdited();

private:
    void refresh();
    void write(const QString& value);

    FieldLink* m_link;
    bool m_writing = false;
};
