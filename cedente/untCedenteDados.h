#pragma once

#include "datawindow.h"

class DBEdit;
class DBText;
class QGroupBox;
class QPushButton;

// The beneficiary data-entry window: edits the current row of
// qrBoletoCedente in place; "Gravar" posts it, anything else discards.
class TfrmCedenteDados : public DataWindow
{
    Q_OBJECT
public:
    explicit TfrmCedenteDados(QWidget* parent = nullptr);

    QGroupBox* grDados;
    DBText* dbCodigo;
    DBEdit* dbCNPJ;
    DBEdit* DBEdit12;
    DBEdit* dbSituacao;
    DBEdit* dbRazao;
    DBEdit* dbFantasia;
    DBEdit* dbLogradouro;
    DBEdit* dbNumero;
    DBEdit* dbComplemento;
    DBEdit* dbBairro;
    DBEdit* dbCEP;
    DBEdit* dbCodIBGECidade;
    DBEdit* dbTelefone;
    DBEdit* dbEmail;
    DBEdit* dbDataCriado;
    DBEdit* dbDataAtualizado;
    DBEdit* dbTOKEN;
    DBEdit* dbTOKENeSales;
    DBEdit* dbConfigEmail;
    DBEdit* dbConfigNotificacao;
    DBEdit* dbMotivoInativacao;
    DBEdit* dbDataAtivacao;
    DBEdit* dbDataInativacao;
    DBEdit* dbVencimentoCertificado;
    DBEdit* dbCertificado;
    QPushButton* btnCancelar;
    QPushButton* btnGravar;

    void FormShow() override;
    void FormClose() override;
    void btnGravarClick();
    void btnCancelarClick();
};

// The data-entry window made last; each alter makes a new one, and the old
// ones stay hidden until the program ends.
extern TfrmCedenteDados* frmCedenteDados;
