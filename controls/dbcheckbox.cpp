#include "dbcheckbox.h"

#include "dbedit.h"
#include "guard.h"
#include "recordset.h"

DBCheckBox::DBCheckBox(DataSource* source, const QString& fieldName, const QString& caption,
                       QWidget* parent)
    : QCheckBox(caption, parent), m_link(new FieldLink(source, fieldName, this))
{
    setObjectName(fieldName);
    connect(m_link, &FieldLink::changed, this, &DBCheckBox::refresh);
    connect(this, &QCheckBox::clicked, this, &DBCheckBox::userClicked);
    refresh();
}

Field* DBCheckBox::field() const
{
    return m_link->field();
}

void DBCheckBox::refresh()
{
    const bool checked = m_link->text() == checkedValue();
    if (isChecked() != checked)
        setChecked(checked);
}

void DBCheckBox::userClicked(bool checked)
{
    guarded([&] {
        RecordSet* set = m_link->dataSet();
        if (set->State() == dsBrowse)
            set->Edit();
        field()->SetAsString(checked ? checkedValue() : uncheckedValue());
    });
    // What the field holds now (a refused write leaves the old value).
    refresh();
}
