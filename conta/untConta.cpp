#include "untConta.h"

#include "contaplatform.h"
#include "dbgrid.h"
#include "dialogs.h"
#include "errors.h"
#include "guard.h"
#include "icons.h"
#include "untContaDados.h"
#include "untDM.h"
#include "windowparts.h"

#include <QGroupBox>
#include <QLabel>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

using WindowParts::toolButton;

TfrmConta::TfrmConta(QWidget* parent) : ListWindow(parent)
{
    setObjectName(QStringLiteral("frmConta"));
    setWindowTitle(QStringLiteral("Controle de Contas do Cedente"));
    setWindowIcon(Icons::boleto());

    panelFerramentas = new QToolBar(this);
    panelFerramentas->setObjectName(QStringLiteral("panelFerramentas"));
    btnSair = toolButton(this, QStringLiteral("btnSair"), QStringLiteral("&Sair"),
                         QStringLiteral("Sair do Controle de Cedente"), Icons::exit());
    btnIncluir = toolButton(this, QStringLiteral("btnIncluir"), QStringLiteral("&Incluir"),
                            QStringLiteral("Inclui uma Nova Conta para o Cedente"), Icons::add());
    btnAltera = toolButton(this, QStringLiteral("btnAltera"), QStringLiteral("&Alterar"),
                           QStringLiteral("Alterar os Dados da Conta Selecionada"), Icons::edit());
    btnInativar = toolButton(this, QStringLiteral("btnInativar"), QStringLiteral("I&nativar"),
                             QStringLiteral("Inativar a Conta Selecionada"), Icons::toggle());
    btnAPIRegistrar =
        toolButton(this, QStringLiteral("btnAPIRegistrar"), QStringLiteral("&Registrar Conta"),
                   QStringLiteral("Registrar a Conta do Cedente no Sistema"), Icons::send());
    btnAPIAlterar = toolButton(
        this, QStringLiteral("btnAPIAlterar"), QStringLiteral("&Atualizar Conta"),
        QStringLiteral("Alterar dados da Conta do Cedente no Sistema da API"), Icons::refresh());
    for (QToolButton* b :
         {btnSair, btnIncluir, btnAltera, btnInativar, btnAPIRegistrar, btnAPIAlterar})
        panelFerramentas->addWidget(b);

    panelBotoes = WindowParts::titleBand(this, QStringLiteral("panelBotoes"),
                                         QStringLiteral("CONTA DO CEDENTE"));

    RxDBGrid1 = new DBGrid(dm->dsBoletoConta,
                           {QStringLiteral("BCOCONTACODIGOBANCO"),
                            QStringLiteral("BCOCONTAAGENCIA"),
                            QStringLiteral("BCOCONTAAGENCIADV"),
                            QStringLiteral("BCOCONTANUMERO"),
                            QStringLiteral("BCOCONTANUMERODV"),
                            QStringLiteral("BCOCONTATIPO"),
                            QStringLiteral("BCOCONTACODBENEFICIARIO"),
                            QStringLiteral("BCOCONTACODBANCOCORRESP"),
                            QStringLiteral("BCOCONTACODIGOEMPRESA"),
                            QStringLiteral("BCOCONTAVALIDACAOATIVA"),
                            QStringLiteral("BCOCONTAIMPRATUALIZADA"),
                            QStringLiteral("BCOCONTAIMPRATUALIZADAALT"),
                            QStringLiteral("BCOCONTAIMPRATUALIZADALIQ"),
                            QStringLiteral("BCODATACRIADO"),
                            QStringLiteral("BCODATAATUALIZADO"),
                            QStringLiteral("BCOSTATUS"),
                            QStringLiteral("BCOCONTAID"),
                            QStringLiteral("BCOCONTAATIVA"),
                            QStringLiteral("BCEIDCEDENTE"),
                            QStringLiteral("BCECNPJ")},
                           this);
    RxDBGrid1->setObjectName(QStringLiteral("RxDBGrid1"));
    RxDBGrid1->setAccessibleName(QStringLiteral("CONTA DO CEDENTE"));

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(8);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(panelFerramentas);
    layout->addWidget(panelBotoes);
    layout->addWidget(RxDBGrid1, 1);
    layout->addWidget(Panel1);

    connect(btnSair, &QToolButton::clicked, this, guard([this] { btnSairClick(); }));
    connect(btnIncluir, &QToolButton::clicked, this, guard([this] { btnIncluirClick(); }));
    connect(btnAltera, &QToolButton::clicked, this, guard([this] { btnAlteraClick(); }));
    connect(btnInativar, &QToolButton::clicked, this, guard([this] { btnInativarClick(); }));
    connect(btnAPIRegistrar, &QToolButton::clicked, this,
            guard([this] { btnAPIRegistrarClick(); }));
    connect(btnAPIAlterar, &QToolButton::clicked, this, guard([this] { btnAPIAlterarClick(); }));

    resize(1000, 560);
}

void TfrmConta::FormShow()
{
    dm->qrEmpresa->Close();
    dm->qrEmpresa->Open();
    dm->qrBoletoCedente->Close();
    dm->qrBoletoCedente->Open();
    dm->qrBoletoConta->Close();
    dm->qrBoletoConta->Open();
    if (dm->qrBoletoCedente->RecordCount() > 0)
        return;
    dialogs().notice(QStringLiteral("Cadastre pelo menos um Cedente para cadastrar uma Conta."));
    FormClose();
    closeOnceShown();
}

void TfrmConta::FormClose()
{
    dm->qrEmpresa->Close();
    dm->qrBoletoCedente->Close();
    dm->qrBoletoConta->Close();
}

void TfrmConta::btnSairClick()
{
    closeWindow();
}

void TfrmConta::btnIncluirClick()
{
    dm->qrBoletoConta->Append();
    frmContaDados = new TfrmContaDados(window());
    frmContaDados->grDados->setEnabled(true);
    dm->qrBoletoContaBCOCONTACODIGOEMPRESA->SetAsString(QString());
    dm->qrBoletoContaBCOCONTAVALIDACAOATIVA->SetAsString(QStringLiteral("1"));
    dm->qrBoletoContaBCOCONTAIMPRATUALIZADA->SetAsString(QStringLiteral("0"));
    dm->qrBoletoContaBCOCONTAIMPRATUALIZADAALT->SetAsString(QStringLiteral("0"));
    dm->qrBoletoContaBCOCONTAIMPRATUALIZADALIQ->SetAsString(QStringLiteral("0"));
    dm->qrBoletoContaBCOCONTAATIVA->SetAsString(QStringLiteral("1"));
    frmContaDados->exec();
}

void TfrmConta::btnAlteraClick()
{
    if (dm->qrBoletoConta->RecordCount() == 0) {
        dialogs().notice(QStringLiteral("Selecione uma Conta para editar."));
        throw SilentAbort();
    }
    dm->qrBoletoConta->Edit();
    frmContaDados = new TfrmContaDados(window());
    frmContaDados->grDados->setEnabled(true);
    frmContaDados->exec();
}

void TfrmConta::btnInativarClick()
{
    RecordSet* conta = dm->qrBoletoConta;
    if (conta->RecordCount() == 0) {
        dialogs().notice(QStringLiteral("Nenhuma Conta Selecionada."));
        throw SilentAbort();
    }
    // Anything but "0", an empty flag too, counts as active.
    const bool inactive = dm->qrBoletoContaBCOCONTAATIVA->AsString() == QStringLiteral("0");
    const bool confirmed =
        inactive ? dialogs().question(QStringLiteral("Conta Inativa"),
                                      QStringLiteral("Deseja realmente Ativar essa Conta?"))
                 : dialogs().question(QStringLiteral("Conta Ativa"),
                                      QStringLiteral("Deseja realmente Inativar essa Conta?"));
    if (!confirmed)
        return;
    conta->Edit();
    dm->qrBoletoContaBCOCONTAATIVA->SetAsString(inactive ? QStringLiteral("1")
                                                         : QStringLiteral("0"));
    try {
        conta->Post();
    } catch (...) {
        // The list shows the account as it is stored.
        conta->Cancel();
        throw;
    }
}

void TfrmConta::btnAPIRegistrarClick()
{
    registerConta(*dm, dialogs());
}

void TfrmConta::btnAPIAlterarClick()
{
    updateConta(*dm, dialogs());
}
