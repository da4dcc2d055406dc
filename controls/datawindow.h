#pragma once

#include <QDialog>

// A data-entry window: modal, a title and a close box, a fixed border. Its
// FormShow runs whenever the program shows it, its FormClose whenever it
// closes ("Gravar", "Cancelar", Esc or the close box); both through the
// handler guard.
class DataWindow : public QDialog
{
    Q_OBJECT
public:
    DataWindow(QWidget* parent, const QString& name, const QString& caption);

    virtual void FormShow() = 0;
    virtual void FormClose() = 0;

protected:
    // Ends the construction: `width` wide, as tall as the controls need,
    // and not resizable.
    void fixSize(int width);

    void showEvent(QShowEvent* event) override;
};
