#pragma once

#include <QCheckBox>

class DataSource;
class Field;
class FieldLink;

// A check box bound to a flag column: checked when the column holds "1",
// unchecked for anything else; a click stores "1" or "0", putting a record
// set in browse state into edit state first.
class DBCheckBox : public QCheckBox
{
    Q_OBJECT
public:
    DBCheckBox(DataSource* source, const QString& fieldName, const QString& caption,
               QWidget* parent = nullptr);
    Field* field() const;

    static QString checkedValue() { return QStringLiteral("1"); }
    static QString uncheckedValue() { return QStringLiteral("0"); }

private:
    void refresh();
    void userClicked(bool checked);

    FieldLink* m_link;
};
