#include "windowparts.h"

#include "icons.h"

#include <QDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace WindowParts {

QToolButton* toolButton(QWidget* parent, const QString& name, const QString& caption,
                        const QString& hint, const QIcon& icon)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(caption);
    b->setIcon(icon);
    b->setIconSize(QSize(32, 32));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setAutoRaise(true);
    b->setMinimumWidth(84);
    b->setAccessibleDescription(hint);
    b->setProperty("hint", hint);
    return b;
}

QLabel* titleBand(QWidget* parent, const QString& name, const QString& text)
{
    auto* band = new QLabel(text, parent);
    band->setObjectName(name);
    band->setAlignment(Qt::AlignCenter);
    band->setFrameShape(QFrame::StyledPanel);
    band->setFrameShadow(QFrame::Raised);
    QFont f = band->font();
    f.setPointSizeF(f.pointSizeF() * 1.6);
    f.setBold(true);
    band->setFont(f);
    band->setMinimumHeight(band->fontMetrics().height() + 12);
    band->setAutoFillBackground(true);
    return band;
}

} // namespace WindowParts

namespace WindowParts {

void FieldRow::addSpace(int stretch)
{
    m_layout->addStretch(stretch);
}

void FieldRow::addLabelled(const QString& caption, QWidget* control, int stretch,
                           const QString& note)
{
    auto* column = new QVBoxLayout;
    column->setSpacing(2);
    auto* label = new QLabel(caption, m_parent);
    label->setBuddy(control);
    if (note.isEmpty()) {
        column->addWidget(label);
    } else {
        auto* line = new QHBoxLayout;
        line->addWidget(label);
        auto* hint = new QLabel(note, m_parent);
        QFont f = hint->font();
        f.setPointSizeF(f.pointSizeF() * 0.85);
        hint->setFont(f);
        line->addWidget(hint);
        line->addStretch(1);
        column->addLayout(line);
    }
    column->addWidget(control);
    m_layout->addLayout(column, stretch);
}

void FieldRow::addBottomAligned(QWidget* control, int stretch)
{
    auto* column = new QVBoxLayout;
    column->setSpacing(2);
    column->addStretch(1);
    column->addWidget(control);
    m_layout->addLayout(column, stretch);
}

FieldRows::FieldRows(QGroupBox* group) : m_group(group), m_rows(new QVBoxLayout(group))
{
    m_rows->setSpacing(6);
}

FieldRow FieldRows::next()
{
    auto* row = new QHBoxLayout;
    row->setSpacing(8);
    m_rows->addLayout(row);
    return FieldRow(row, m_group);
}

void styleKeyText(QLabel* text)
{
    QFont bold = text->font();
    bold.setBold(true);
    text->setFont(bold);
    text->setMinimumHeight(text->fontMetrics().height() + 8);
}

void addDataButtons(QDialog* window, QGroupBox* group, QPushButton*& btnCancelar,
                    QPushButton*& btnGravar)
{
    // The captions clear the picture.
    btnCancelar = new QPushButton(Icons::cancel(), QStringLiteral("   &Cancelar"), window);
    btnCancelar->setObjectName(QStringLiteral("btnCancelar"));
    btnCancelar->setAccessibleDescription(QStringLiteral("Cancelar e Sair"));
    btnGravar = new QPushButton(Icons::save(), QStringLiteral("   &Gravar"), window);
    btnGravar->setObjectName(QStringLiteral("btnGravar"));
    btnGravar->setAccessibleDescription(QStringLiteral("Gravar os Dados"));
    for (QPushButton* b : {btnCancelar, btnGravar}) {
        // Enter presses the focused button, never one of these by default.
        b->setAutoDefault(false);
        b->setIconSize(QSize(24, 24));
        b->setMinimumSize(120, 36);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnCancelar);
    buttons->addWidget(btnGravar);
    auto* layout = new QVBoxLayout(window);
    layout->addWidget(group);
    layout->addLayout(buttons);
}

void chainTabOrder(std::initializer_list<QWidget*> widgets)
{
    QWidget* previous = nullptr;
    for (QWidget* w : widgets) {
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

} // namespace WindowParts
