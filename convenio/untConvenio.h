#pragma once

#include "listwindow.h"

class DBGrid;
class Field;
class QLabel;
class QToolBar;
class QToolButton;

// The agreement list: every account on the left, the agreements of the
// current account on the right; include, alter, delete by keyboard, and
// register or update the selected agreement on the platform.
class TfrmConvenio : public ListWindow
{
    Q_OBJECT
public:
    explicit TfrmConvenio(QWidget* parent = nullptr);

    QToolBar* panelFerramentas;
    QToolButton* btnSair;
    QToolButton* btnIncluir;
    QToolButton* btnAltera;
    QToolButton* btnInativar;
    QToolButton* btnAPIRegistrar;
    QToolButton* btnAPIAlterar;
    QLabel* panelBotoes;
    QLabel* lblCedente;
    DBGrid* RxDBGrid2; // the accounts
    QWidget* Panel2;
    DBGrid* RxDBGrid1; // the agreements
    QWidget* Panel1;

    void FormShow() override;
    void FormClose() override;
    void RxDBGrid2CellClick(Field* column);
    void btnSairClick();
    void btnIncluirClick();
    void btnAlteraClick();
    void btnInativarClick();
    void btnAPIRegistrarClick();
    void btnAPIAlterarClick();

private:
    // Reads the agreements of the current account again; unless `always`,
    // only when those on screen belong to another account.
    void showAgreementsOfCurrentAccount(bool always);

    bool m_followAccounts = false;
};
