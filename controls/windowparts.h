#pragma once

#include <QIcon>
#include <QString>

#include <initializer_list>

class QDialog;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QToolButton;
class QVBoxLayout;
class QWidget;

// Pieces the list and data-entry windows share.
namespace WindowParts {

// A tool-bar button with its picture above the caption. The hint is kept
// as the button's accessible description; no tooltip is shown.
QToolButton* toolButton(QWidget* parent, const QString& name, const QString& caption,
                        const QString& hint, const QIcon& icon);

// A band across the window with a title in large type.
QLabel* titleBand(QWidget* parent, const QString& name, const QString& text);

// One row of a data-entry window's group: controls side by side, each with
// its label above it as its buddy.
class FieldRow
{
public:
    FieldRow(QHBoxLayout* layout, QWidget* parent) : m_layout(layout), m_parent(parent) {}

    // `note` is a smaller text beside the label.
    template <typename Control>
    Control* add(const QString& caption, Control* control, int stretch, const QString& note = {})
    {
        addLabelled(caption, control, stretch, note);
        return control;
    }
    // A control that carries its own caption (a check box), level with the
    // labelled ones.
    template <typename Control> Control* addCaptioned(Control* control, int stretch)
    {
        addBottomAligned(control, stretch);
        return control;
    }
    void addSpace(int stretch);

private:
    void addLabelled(const QString& caption, QWidget* control, int stretch, const QString& note);
    void addBottomAligned(QWidget* control, int stretch);

    QHBoxLayout* m_layout;
    QWidget* m_parent;
};

// The rows of a data-entry window's group, top to bottom.
class FieldRows
{
public:
    explicit FieldRows(QGroupBox* group);
    FieldRow next();

private:
    QGroupBox* m_group;
    QVBoxLayout* m_rows;
};

// A display text showing a record's key, in bold.
void styleKeyText(QLabel* text);

// Lays out a data-entry window: its group, and under it at the right the
// buttons "&Cancelar" and "&Gravar" (made here), each with its picture.
void addDataButtons(QDialog* window, QGroupBox* group, QPushButton*& btnCancelar,
                    QPushButton*& btnGravar);

// The keyboard focus moves through `widgets` in this order.
void chainTabOrder(std::initializer_list<QWidget*> widgets);

} // namespace WindowParts
