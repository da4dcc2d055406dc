#include "dbcombobox.h"

#include "dbedit.h"
#include "guard.h"
#include "recordset.h"

#include <QLineEdit>

namespace {
constexpr int ValueRole = Qt::UserRole;
}

DBComboBox::DBComboBox(DataSource* source, const QString& fieldName, Style style, QWidget* parent)
    : QComboBox(parent), m_link(new FieldLink(source, fieldName, this))
{
    setObjectName(fieldName);
    if (style == Style::Editable) {
        setEditable(true);
        // What is typed is what is stored: no completion, and Enter does
        // not add the text to the list.
        setCompleter(nullptr);
        setInsertPolicy(QComboBox::NoInsert);
        limitToColumn(lineEdit(), field());
        connect(lineEdit(), &QLineEdit::textEdited, this,
                [this](const QString& typed) { write(typed); });
    }
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (index >= 0)
            write(valueAt(index));
    });
    connect(m_link, &FieldLink::changed, this, &DBComboBox::refresh);
    refresh();
}

Field* DBComboBox::field() const
{
    return m_link->field();
}

void DBComboBox::addChoice(const QString& caption, const QString& value)
{
    addItem(caption, value.isNull() ? caption : value);
    refresh();
}

void DBComboBox::setChoices(const QStringList& captions)
{
    clear();
    for (const QString& caption : captions)
        addItem(caption, caption);
    refresh();
}

QString DBComboBox::valueAt(int index) const
{
    const QVariant value = itemData(index, ValueRole);
    return value.isValid() ? value.toString() : itemText(index);
}

int DBComboBox::indexOfValue(const QString& value) const
{
    for (int i = 0; i < count(); ++i)
        if (valueAt(i) == value)
            return i;
    return -1;
}

void DBComboBox::refresh()
{
    if (m_writing)
        return;
    const QString value = m_link->text();
    const int index = value.isEmpty() ? -1 : indexOfValue(value);
    if (currentIndex() != index)
        setCurrentIndex(index);
    if (isEditable()) {
        const QString shown = index >= 0 ? itemText(index) : value;
        if (currentText() != shown)
            setEditText(shown);
    }
}

void DBComboBox::write(const QString& value)
{
    bool changed = false;
    guarded([&] {
        RecordSet* set = m_link->dataSet();
        m_writing = true;
        struct Reset
        {
            bool& flag;
            ~Reset() { flag = false; }
        } reset{m_writing};
        if (set->State() == dsBrowse)
            set->Edit();
        const QString before = field()->AsString();
        field()->SetAsString(value);
        changed = field()->AsString() != before;
    });
    // What the field holds now (a refused write leaves the old value). A
    // typed text stays as it is while it is what the field holds, so the
    // cursor does not jump.
    if (!isEditable() || lineEdit()->text() != m_link->text() || !lineEdit()->hasFocus())
        refresh();
    if (changed)
        emit valueEdited();
}
