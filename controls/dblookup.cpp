#include "dblookup.h"

#include "dbedit.h"
#include "dbgrid.h"
#include "guard.h"
#include "recordset.h"

#include <QApplication>

DBLookupComboBox::DBLookupComboBox(DataSource* data, const QString& dataField, DataSource* list,
                                   const QString& keyField, const QString& listField,
                                   QWidget* parent)
    : QComboBox(parent), m_link(new FieldLink(data, dataField, this)), m_list(list->DataSet()),
      m_model(new RecordSetModel(list, {listField}, this)),
      m_keyField(m_list->FieldByName(keyField).Index())
{
    setObjectName(dataField);
    setModel(m_model);
    setModelColumn(0);

    // The list's rows change under the box: show the stored value again.
    connect(m_model, &QAbstractItemModel::modelReset, this, &DBLookupComboBox::showStoredValue);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &DBLookupComboBox::showStoredValue);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &DBLookupComboBox::showStoredValue);
    connect(m_model, &QAbstractItemModel::dataChanged, this, &DBLookupComboBox::showStoredValue);

    connect(m_link, &FieldLink::changed, this, &DBLookupComboBox::storedValueChanged);
    connect(this, &QComboBox::activated, this, &DBLookupComboBox::userChose);
    // Left: the focus went from the box to another control of its window
    // (not to its drop-down list, which is a window of its own, and not
    // away with the whole window).
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (old == this && now && now->window() == window())
            emit exited();
    });
    storedValueChanged();
}

Field* DBLookupComboBox::field() const
{
    return m_link->field();
}

QString DBLookupComboBox::keyValue() const
{
    return m_link->text();
}

QString DBLookupComboBox::keyAt(int index) const
{
    if (index < 0 || index >= m_list->RecordCount())
        return {};
    return m_list->cellText(index, m_keyField);
}

void DBLookupComboBox::showStoredValue()
{
    const QString key = keyValue();
    int index = -1;
    if (!key.isEmpty()) {
        for (int row = 0; row < count() && index < 0; ++row)
            if (keyAt(row) == key)
                index = row;
    }
    if (currentIndex() != index)
        setCurrentIndex(index);
}

void DBLookupComboBox::storedValueChanged()
{
    showStoredValue();
    const QString key = keyValue();
    if (key.isEmpty() || m_list->State() != dsBrowse)
        return;
    guarded([&] { m_list->Locate(m_list->Fields(m_keyField).FieldName(), key); });
}

void DBLookupComboBox::userChose(int index)
{
    const QString key = keyAt(index);
    guarded([&] {
        RecordSet* set = m_link->dataSet();
        if (set->State() == dsBrowse)
            set->Edit();
        field()->SetAsString(key);
    });
    // A refused choice shows the stored value again. A choice that leaves
    // the value as it was still moves the list to the chosen value's row.
    storedValueChanged();
}
