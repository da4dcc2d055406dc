#pragma once

#include "datawindow.h"

#include <QPointer>

class DBCheckBox;
class DBComboBox;
class DBEdit;
class DBText;
class QGroupBox;
class QPushButton;

// The agreement data-entry window: edits the current row of
// qrBoletoConvenio in place. The CNAB standard decides whether the wallet
// text and the contract number can be typed. "Gravar" posts, anything else
// discards. It is released when it closes.
class TfrmConvenioDados : public DataWindow
{
    Q_OBJECT
public:
    explicit TfrmConvenioDados(QWidget* parent = nullptr);

    QGroupBox* grDados;
    DBText* dbCodigo;
    DBEdit* dbContaID;
    DBEdit* dbConvenioNum;
    DBEdit* dbConvenioDescr;
    DBEdit* dbCarteira;
    DBComboBox* dbCarteiraCodigo;
    DBEdit* dbEspecie;
    DBComboBox* dbPadraoCNAB;
    DBCheckBox* dbReiniciaRemessaDiario;
    DBEdit* dbNumeroRemessa;
    DBComboBox* dbDensidade;
    DBCheckBox* dbRegistroInstantaneo;
    DBEdit* dbApiID;
    DBEdit* dbApiKey;
    DBEdit* dbApiSecret;
    DBEdit* dbEstacao;
    DBCheckBox* dbNossoNumeroPelaAgencia;
    DBComboBox* dbTipoWebService;
    DBCheckBox* dbConsultaWS;
    DBEdit* dbNumeroContrato;
    DBEdit* dbDataCriado;
    DBEdit* dbDataAtualizado;
    QPushButton* btnCancelar;
    QPushButton* btnGravar;

    void FormShow() override;
    void FormClose() override;
    void dbPadraoCNABChange();
    void btnGravarClick();
    void btnCancelarClick();
};

// The data-entry window open at the moment; null when there is none.
extern QPointer<TfrmConvenioDados> frmConvenioDados;
