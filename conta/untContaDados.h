#pragma once

#include "datawindow.h"

#include <QPointer>

class DBCheckBox;
class DBComboBox;
class DBEdit;
class DBLookupComboBox;
class DBText;
class QGroupBox;
class QPushButton;

// The account data-entry window: edits the current row of qrBoletoConta in
// place and ties it to a beneficiary chosen from qrBoletoCedente; "Gravar"
// checks the bank fields and posts, anything else discards. It is released
// when it closes.
class TfrmContaDados : public DataWindow
{
    Q_OBJECT
public:
    explicit TfrmContaDados(QWidget* parent = nullptr);

    QGroupBox* grDados;
    DBText* dbCodigo;
    DBLookupComboBox* dbCedente;
    DBEdit* dbIDCedente;
    DBEdit* dbCodBanco;
    DBEdit* dbAgencia;
    DBEdit* dbAgenciaDV;
    DBEdit* dbNumConta;
    DBEdit* dbNumContaDV;
    DBCheckBox* dbContaAtiva;
    DBComboBox* dbTipo;
    DBEdit* dbCodBeneficiario;
    DBEdit* dbCedenteCNPJ;
    DBEdit* dbContaID;
    DBEdit* dbStatus;
    DBEdit* dbDataCriado;
    DBEdit* dbDataAtualizado;
    QPushButton* btnCancelar;
    QPushButton* btnGravar;

    void FormShow() override;
    void FormClose() override;
    void dbCedenteExit();
    void btnGravarClick();
    void btnCancelarClick();
};

// The data-entry window open at the moment; null when there is none.
extern QPointer<TfrmContaDados> frmContaDados;
