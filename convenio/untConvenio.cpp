#include "untConvenio.h"

#include "convenioplatform.h"
#include "dbgrid.h"
#include "dialogs.h"
#include "errors.h"
#include "guard.h"
#include "icons.h"
#include "untConvenioDados.h"
#include "untDM.h"
#include "windowparts.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

using WindowParts::toolButton;

TfrmConvenio::TfrmConvenio(QWidget* parent) : ListWindow(parent)
{
    setObjectName(QStringLiteral("frmConvenio"));
    setWindowTitle(QStringLiteral("Controle de Convênios"));
    setWindowIcon(Icons::boleto());

    panelFerramentas = new QToolBar(this);
    panelFerramentas->setObjectName(QStringLiteral("panelFerramentas"));
    btnSair = toolButton(this, QStringLiteral("btnSair"), QStringLiteral("&Sair"),
                         QStringLiteral("Sair do Controle de Convênios"), Icons::exit());
    btnIncluir = toolButton(this, QStringLiteral("btnIncluir"), QStringLiteral("&Incluir"),
                            QStringLiteral("Inclui um Novo Convênio para a Conta"), Icons::add());
    btnAltera =
        toolButton(this, QStringLiteral("btnAltera"), QStringLiteral("&Alterar"),
                   QStringLiteral("Alterar os Dados do Convênio Selecionado"), Icons::edit());
    btnInativar = toolButton(this, QStringLiteral("btnInativar"), QStringLiteral("I&nativar"),
                             QStringLiteral("Inativar o Convênio Selecionado"), Icons::toggle());
    btnAPIRegistrar =
        toolButton(this, QStringLiteral("btnAPIRegistrar"), QStringLiteral("&Registrar Convênio"),
                   QStringLiteral("Registrar o Convênio no Sistema da API"), Icons::send());
    btnAPIAlterar =
        toolButton(this, QStringLiteral("btnAPIAlterar"), QStringLiteral("&Atualizar Convênio"),
                   QStringLiteral("Alterar dados do Convênio no Sistema da API"), Icons::refresh());
    // Inactivating agreements is not offered.
    btnInativar->setVisible(false);
    btnInativar->setEnabled(false);
    for (QToolButton* b : {btnAPIRegistrar, btnAPIAlterar})
        b->setMinimumWidth(2 * btnSair->minimumWidth());
    for (QToolButton* b : {btnSair, btnIncluir, btnAltera, btnAPIRegistrar, btnAPIAlterar})
        panelFerramentas->addWidget(b);

    panelBotoes =
        WindowParts::titleBand(this, QStringLiteral("panelBotoes"), QStringLiteral("CONVÊNIO"));
    lblCedente = new QLabel(QStringLiteral("CONTA"), panelBotoes);
    lblCedente->setObjectName(QStringLiteral("lblCedente"));
    QFont small = lblCedente->font();
    small.setPointSizeF(font().pointSizeF() * 1.2);
    lblCedente->setFont(small);
    auto* heading = new QHBoxLayout(panelBotoes);
    heading->setContentsMargins(8, 0, 8, 0);
    heading->addWidget(lblCedente, 0, Qt::AlignLeft | Qt::AlignVCenter);
    heading->addStretch(1);

    RxDBGrid2 =
        new DBGrid(dm->dsBoletoConta,
                   {QStringLiteral("BCOCONTAID"), QStringLiteral("BCEIDCEDENTE"),
                    QStringLiteral("BCOCONTACODIGOBANCO"), QStringLiteral("BCOCONTAAGENCIA"),
                    QStringLiteral("BCOCONTANUMERO"), QStringLiteral("BCOCONTANUMERODV"),
                    QStringLiteral("BCOCONTATIPO"), QStringLiteral("BCOSTATUS")},
                   this);
    RxDBGrid2->setObjectName(QStringLiteral("RxDBGrid2"));
    RxDBGrid2->setAccessibleName(QStringLiteral("CONTA"));
    RxDBGrid2->setReadOnly(true);
    // Wide enough for most accounts' columns, leaving the agreements room.
    RxDBGrid2->setFixedWidth(std::min(RxDBGrid2->fitColumnsToTitles(), 560));

    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFixedWidth(6);

    RxDBGrid1 = new DBGrid(dm->dsBoletoConvenio,
                           {QStringLiteral("BCVCODIGO"),
                            QStringLiteral("BCOCONTAID"),
                            QStringLiteral("BCVCONVENIONUMERO"),
                            QStringLiteral("BCVCONVENIODESCRICAO"),
                            QStringLiteral("BCVCONVENIOCARTEIRA"),
                            QStringLiteral("BCVCONVENIOCARTEIRACODIGO"),
                            QStringLiteral("BCVCONVENIOESPECIE"),
                            QStringLiteral("BCVCONVENIOPADRAOCNAB"),
                            QStringLiteral("BCVCONVENIOREINICIARDIARIA"),
                            QStringLiteral("BCVCONVENIONUMEROREMESSA"),
                            QStringLiteral("BCVCONVENIODENSIDAREMESSA"),
                            QStringLiteral("BCVCONVENIOREGINSTA"),
                            QStringLiteral("BCVCONVENIOAPIID"),
                            QStringLiteral("BCVCONVENIOAPIKEY"),
                            QStringLiteral("BCVCONVENIOAPISECRET"),
                            QStringLiteral("BCVCONVENIOESTACAO"),
                            QStringLiteral("BCVCONVENIONOSSONUMEROBANCO"),
                            QStringLiteral("BCVCONVENIONOSSONUMCONCILIA"),
                            QStringLiteral("BCVCONVENIOTIPOWEBSERVICE"),
                            QStringLiteral("BCVCONVENIOCONSULTAWS"),
                            QStringLiteral("BCVCONVENIONUMEROCONTRATO"),
                            QStringLiteral("BCVCONVENIOVERSAOLAYOUTARQ"),
                            QStringLiteral("BCVCONVENIOALTWEBSERVICE")},
                           this);
    RxDBGrid1->setObjectName(QStringLiteral("RxDBGrid1"));
    RxDBGrid1->setAccessibleName(QStringLiteral("CONVÊNIO"));

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(8);

    auto* body = new QHBoxLayout;
    body->setSpacing(0);
    body->addWidget(RxDBGrid2);
    body->addWidget(Panel2);
    body->addWidget(RxDBGrid1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(panelFerramentas);
    layout->addWidget(panelBotoes);
    layout->addLayout(body, 1);
    layout->addWidget(Panel1);

    connect(btnSair, &QToolButton::clicked, this, guard([this] { btnSairClick(); }));
    connect(btnIncluir, &QToolButton::clicked, this, guard([this] { btnIncluirClick(); }));
    connect(btnAltera, &QToolButton::clicked, this, guard([this] { btnAlteraClick(); }));
    connect(btnInativar, &QToolButton::clicked, this, guard([this] { btnInativarClick(); }));
    connect(btnAPIRegistrar, &QToolButton::clicked, this,
            guard([this] { btnAPIRegistrarClick(); }));
    connect(btnAPIAlterar, &QToolButton::clicked, this, guard([this] { btnAPIAlterarClick(); }));
    connect(RxDBGrid2, &DBGrid::cellClicked, this,
            [this](Field* column) { guarded([&] { RxDBGrid2CellClick(column); }); });
    // The agreements on screen are always the current account's, however
    // the account was chosen (a click, the keyboard, another window), so
    // "Incluir" never files an agreement under an account not shown.
    connect(dm->qrBoletoConta, &RecordSet::currentRowChanged, this,
            [this] { guarded([this] { showAgreementsOfCurrentAccount(false); }); });

    resize(1260, 560);
}

void TfrmConvenio::FormShow()
{
    dm->qrEmpresa->Close();
    dm->qrEmpresa->Open();
    dm->qrBoletoCedente->Close();
    dm->qrBoletoCedente->Open();
    dm->qrBoletoConta->Close();
    dm->qrBoletoConta->Open();
    if (dm->qrBoletoConta->RecordCount() == 0) {
        dialogs().notice(
            QStringLiteral("Cadastre pelo menos uma conta para cadastrar um Cedente."));
        FormClose();
        closeOnceShown();
        return;
    }
    dm->qrBoletoConta->First();
    showAgreementsOfCurrentAccount(true);
    m_followAccounts = true;
}

void TfrmConvenio::showAgreementsOfCurrentAccount(bool always)
{
    if (!always && !m_followAccounts)
        return;
    RecordSet* conta = dm->qrBoletoConta;
    RecordSet* convenio = dm->qrBoletoConvenio;
    if (!conta->Active() || conta->RecNo() < 0)
        return;
    // An agreement being edited is never dropped (the data-entry window
    // is modal, so this is another window's doing).
    if (convenio->State() == dsEdit || convenio->State() == dsInsert)
        return;
    Param& contaId = convenio->ParamByName(QStringLiteral("xContaID"));
    const QString current = dm->qrBoletoContaBCOCONTAID->AsString();
    if (!always && convenio->Active() && contaId.AsString() == current)
        return;
    convenio->Close();
    contaId.SetAsString(current);
    convenio->Open();
}

void TfrmConvenio::RxDBGrid2CellClick(Field*)
{
    // The grid has made the clicked account current; a click re-reads its
    // agreements even when they are on screen already.
    showAgreementsOfCurrentAccount(true);
}

void TfrmConvenio::FormClose()
{
    m_followAccounts = false;
    dm->qrEmpresa->Close();
    dm->qrBoletoCedente->Close();
    dm->qrBoletoConta->Close();
    dm->qrBoletoConvenio->Close();
}

void TfrmConvenio::btnSairClick()
{
    closeWindow();
}

void TfrmConvenio::btnIncluirClick()
{
    dm->qrBoletoConvenio->Append();
    frmConvenioDados = new TfrmConvenioDados(window());
    frmConvenioDados->grDados->setEnabled(true);
    dm->qrBoletoConvenioBCVCONVENIOCARTEIRACODIGO->SetAsString(QStringLiteral("1"));
    dm->qrBoletoConvenioBCVCONVENIOPADRAOCNAB->SetAsString(QStringLiteral("240"));
    dm->qrBoletoConvenioBCVCONVENIOREINICIARDIARIA->SetAsString(QStringLiteral("0"));
    dm->qrBoletoConvenioBCOCONTAID->SetAsString(dm->qrBoletoContaBCOCONTAID->AsString());
    dm->qrBoletoConvenioBCVCONVENIONOSSONUMEROBANCO->SetAsString(QStringLiteral("0"));
    dm->qrBoletoConvenioBCVCONVENIOREGINSTA->SetAsString(QStringLiteral("0"));
    dm->qrBoletoConvenioBCVCONVENIOESPECIE->SetAsString(QStringLiteral("R$"));
    dm->qrBoletoConvenioBCVCONVENIOCONSULTAWS->SetAsString(QStringLiteral("0"));
    frmConvenioDados->exec();
}

void TfrmConvenio::btnAlteraClick()
{
    if (dm->qrBoletoConvenio->RecordCount() == 0) {
        dialogs().notice(QStringLiteral("Selecione um Convênio para editar."));
        throw SilentAbort();
    }
    dm->qrBoletoConvenio->Edit();
    frmConvenioDados = new TfrmConvenioDados(window());
    frmConvenioDados->grDados->setEnabled(true);
    frmConvenioDados->exec();
}

void TfrmConvenio::btnInativarClick() {}

void TfrmConvenio::btnAPIRegistrarClick()
{
    registerConvenio(*dm, dialogs());
}

void TfrmConvenio::btnAPIAlterarClick()
{
    updateConvenio(*dm, dialogs());
}
