#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// An attempt has succeeded; false whenever the login window is shown.
extern bool acesso;
// Failed attempts since the login window was shown.
extern int tentativa;

// The password prompt shown when the main window first appears. Three
// failed attempts, "Cancelar", Esc or the close box end the application.
class TfrmLogin : public QDialog
{
    Q_OBJECT
public:
    static constexpr int attemptLimit = 3;

    explicit TfrmLogin(QWidget* parent = nullptr);

    QLabel* lblSenha;
    QLineEdit* edtSenha;
    QPushButton* btnCancelar;
    QPushButton* btnEntrar;

    void FormShow();
    void btnEntrarClick();
    void btnCancelarClick();
    void FormClose();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};
