#pragma once

#include "listwindow.h"

class DBGrid;
class QLabel;
class QToolBar;
class QToolButton;

// The beneficiary list: every beneficiary above, the companies below; alter,
// copy a company into a new beneficiary, delete by keyboard, and register or
// update the selected beneficiary on the platform.
class TfrmCedente : public ListWindow
{
    Q_OBJECT
public:
    explicit TfrmCedente(QWidget* parent = nullptr);

    QToolBar* panelFerramentas;
    QToolButton* btnSair;
    QToolButton* btnAltera;
    QToolButton* btnRegistrar;
    QToolButton* btnAPIAlterar;
    QLabel* panelBotoes;
    DBGrid* RxDBGrid1;
    QWidget* Panel2;
    QToolButton* btnCopiar;
    DBGrid* RxDBGrid2;
    QWidget* Panel1;

    void FormShow() override;
    void FormClose() override;
    void btnSairClick();
    void btnAlteraClick();
    void btnCopiarClick();
    void btnRegistrarClick();
    void btnAPIAlterarClick();
};

// A company's CNPJ as a beneficiary keeps it: without blanks and control
// characters at its ends, and without ".", "/" and "-".
QString cleanCnpj(const QString& cnpj);
