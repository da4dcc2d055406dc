#include "dbedit.h"

#include "guard.h"
#include "recordset.h"

FieldLink::FieldLink(DataSource* source, const QString& fieldName, QObject* parent)
    : QObject(parent), m_set(source->DataSet()), m_field(&m_set->FieldByName(fieldName))
{
    connect(m_set, &RecordSet::rowsReset, this, &FieldLink::changed);
    connect(m_set, &RecordSet::currentRowChanged, this, &FieldLink::changed);
    connect(m_set, &RecordSet::stateChanged, this, &FieldLink::changed);
    connect(m_set, &RecordSet::rowChanged, this, [this](int row) {
        if (row == m_set->RecNo())
            emit changed();
    });
}

QString FieldLink::text() const
{
    return m_set->Active() ? m_field->AsString() : QString();
}

void limitToColumn(QLineEdit* edit, const Field* field)
{
    if (field->DataType() == ColumnKind::Text && field->Size() > 0)
        edit->setMaxLength(2 * field->Size());
}

DBEdit::DBEdit(DataSource* source, const QString& fieldName, QWidget* parent)
    : QLineEdit(parent), m_link(new FieldLink(source, fieldName, this))
{
    setObjectName(fieldName);
    limitToColumn(this, field());
    connect(m_link, &FieldLink::changed, this, &DBEdit::refresh);
    connect(this, &QLineEdit::textEdited, this, &DBEdit::userTyped);
    refresh();
}

void DBEdit::setReadOnly(bool readOnly)
{
    QLineEdit::setReadOnly(readOnly);
    QPalette p = palette();
    if (readOnly) {
        // The window-frame colour of Windows' default scheme.
        p.setColor(QPalette::Base, QColor(100, 100, 100));
        p.setColor(QPalette::Text, Qt::white);
    } else {
        p = QPalette();
    }
    setPalette(p);
    setFocusPolicy(Qt::StrongFocus);
}

void DBEdit::refresh()
{
    if (m_writing)
        return;
    const QString value = m_link->text();
    if (value != text())
        setText(value);
}

void DBEdit::userTyped(const QString& typed)
{
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
        field()->SetAsString(typed);
    });
    // What the field holds now (a refused write leaves the old value).
    refresh();
}

DBText::DBText(DataSource* source, const QString& fieldName, QWidget* parent)
    : QLabel(parent), m_link(new FieldLink(source, fieldName, this))
{
    connect(m_link, &FieldLink::changed, this, [this] { setText(m_link->text()); });
    setText(m_link->text());
}
