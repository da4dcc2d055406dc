#pragma once

#include "listwindow.h"

class DBGrid;
class QLabel;
class QToolBar;
class QToolButton;

// The account list: every account of every beneficiary; include, alter,
// activate or inactivate, delete by keyboard, and register or update the
// selected account on the platform.
class TfrmConta : public ListWindow
{
    Q_OBJECT
public:
    explicit TfrmConta(QWidget* parent = nullptr);

    QToolBar* panelFerramentas;
    QToolButton* btnSair;
    QToolButton* btnIncluir;
    QToolButton* btnAltera;
    QToolButton* btnInativar;
    QToolButton* btnAPIRegistrar;
    QToolButton* btnAPIAlterar;
    QLabel* panelBotoes;
    DBGrid* RxDBGrid1;
    QWidget* Panel1;

    void FormShow() override;
    void FormClose() override;
    void btnSairClick();
    void btnIncluirClick();
    void btnAlteraClick();
    void btnInativarClick();
    void btnAPIRegistrarClick();
    void btnAPIAlterarClick();
};
