#include "untCedente.h"

#include "cedenteplatform.h"
#include "dbgrid.h"
#include "dialogs.h"
#include "errors.h"
#include "guard.h"
#include "icons.h"
#include "untCedenteDados.h"
#include "untDM.h"
#include "windowparts.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

using WindowParts::toolButton;

QString cleanCnpj(const QString& cnpj)
{
    qsizetype begin = 0, end = cnpj.size();
    while (begin < end && cnpj.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && cnpj.at(end - 1).unicode() <= 0x20)
        --end;
    QString clean = cnpj.mid(begin, end - begin);
    clean.remove(QLatin1Char('.'));
    clean.remove(QLatin1Char('/'));
    clean.remove(QLatin1Char('-'));
    return clean;
}

TfrmCedente::TfrmCedente(QWidget* parent) : ListWindow(parent)
{
    setObjectName(QStringLiteral("frmCedente"));
    setWindowTitle(QStringLiteral("Controle de Cedente"));
    setWindowIcon(Icons::boleto());

    panelFerramentas = new QToolBar(this);
    panelFerramentas->setObjectName(QStringLiteral("panelFerramentas"));
    btnSair = toolButton(this, QStringLiteral("btnSair"), QStringLiteral("&Sair"),
                         QStringLiteral("Sair do Controle de Cedente"), Icons::exit());
    btnAltera = toolButton(this, QStringLiteral("btnAltera"), QStringLiteral("&Alterar Dados"),
                           QStringLiteral("Alterar Dados do Cedente Selecionado"), Icons::edit());
    btnRegistrar =
        toolButton(this, QStringLiteral("btnRegistrar"), QStringLiteral("&Registrar Cedente"),
                   QStringLiteral("Registrar o Cedente no Sistema da API"), Icons::send());
    btnAPIAlterar =
        toolButton(this, QStringLiteral("btnAPIAlterar"), QStringLiteral("&Atualizar Cedente"),
                   QStringLiteral("Alterar dados do Cedente no Sistema da API"), Icons::refresh());
    for (QToolButton* b : {btnSair, btnAltera, btnRegistrar, btnAPIAlterar})
        panelFerramentas->addWidget(b);

    panelBotoes =
        WindowParts::titleBand(this, QStringLiteral("panelBotoes"), QStringLiteral("CEDENTE"));

    RxDBGrid1 = new DBGrid(dm->dsBoletoCedente,
                           {QStringLiteral("BCECODIGO"),
                            QStringLiteral("BCEIDCEDENTE"),
                            QStringLiteral("BCESITUACAO"),
                            QStringLiteral("BCECNPJ"),
                            QStringLiteral("BCETOKEN"),
                            QStringLiteral("BCEDATACRIADO"),
                            QStringLiteral("BCEDATAATUALIZADO"),
                            QStringLiteral("BCEVENCIMENTOCERTIFICADO"),
                            QStringLiteral("BCERAZAO"),
                            QStringLiteral("BCEFANTASIA"),
                            QStringLiteral("BCELOGRADOURO"),
                            QStringLiteral("BCENUMERO"),
                            QStringLiteral("BCECOMPLEMENTO"),
                            QStringLiteral("BCEBAIRRO"),
                            QStringLiteral("BCECEP"),
                            QStringLiteral("BCECODIBGECIDADE"),
                            QStringLiteral("BCETELEFONE"),
                            QStringLiteral("BCEEMAIL"),
                            QStringLiteral("BCETOKENESALES"),
                            QStringLiteral("BCECODSOFTWAREHOUSE"),
                            QStringLiteral("BCECONFIGEMAIL"),
                            QStringLiteral("BCECONFIGNOTIFICACAO"),
                            QStringLiteral("BCEMOTIVOINATIVACAO"),
                            QStringLiteral("BCEDATAATIVACAO"),
                            QStringLiteral("BCEDATAINATIVACAO"),
                            QStringLiteral("BCECERTIFICADO")},
                           this);
    RxDBGrid1->setObjectName(QStringLiteral("RxDBGrid1"));
    RxDBGrid1->setAccessibleName(QStringLiteral("CEDENTE"));

    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    btnCopiar = toolButton(
        Panel2, QStringLiteral("btnCopiar"), QStringLiteral("&Copiar"),
        QStringLiteral("Copiar os Dados do Cadastro da Empresa Selecionada para o Cedente"),
        Icons::copy());
    auto* empresaBand =
        WindowParts::titleBand(Panel2, QStringLiteral("lblEmpresa"), QStringLiteral("EMPRESA"));
    auto* band = new QHBoxLayout(Panel2);
    band->setContentsMargins(0, 0, 0, 0);
    band->addWidget(btnCopiar);
    band->addWidget(empresaBand, 1);

    // The company grid offers no deletion: the program never writes to Empresa.
    RxDBGrid2 =
        new DBGrid(dm->dsEmpresa,
                   {QStringLiteral("CNPJ"), QStringLiteral("NOME"), QStringLiteral("NOME1"),
                    QStringLiteral("COD_MUN"), QStringLiteral("ENDERECO"), QStringLiteral("NLOCAL"),
                    QStringLiteral("COMPL"), QStringLiteral("BAIRRO"), QStringLiteral("CIDADE"),
                    QStringLiteral("ESTADO"), QStringLiteral("CEP"), QStringLiteral("TELEFONE")},
                   this);
    RxDBGrid2->setObjectName(QStringLiteral("RxDBGrid2"));
    RxDBGrid2->setAccessibleName(QStringLiteral("EMPRESA"));
    RxDBGrid2->setReadOnly(true);
    RxDBGrid2->setFixedHeight(RxDBGrid2->verticalHeader()->defaultSectionSize() * 6 +
                              RxDBGrid2->horizontalHeader()->sizeHint().height() + 4);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(8);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(panelFerramentas);
    layout->addWidget(panelBotoes);
    layout->addWidget(RxDBGrid1, 1);
    layout->addWidget(Panel2);
    layout->addWidget(RxDBGrid2);
    layout->addWidget(Panel1);

    connect(btnSair, &QToolButton::clicked, this, guard([this] { btnSairClick(); }));
    connect(btnAltera, &QToolButton::clicked, this, guard([this] { btnAlteraClick(); }));
    connect(btnRegistrar, &QToolButton::clicked, this, guard([this] { btnRegistrarClick(); }));
    connect(btnAPIAlterar, &QToolButton::clicked, this, guard([this] { btnAPIAlterarClick(); }));
    connect(btnCopiar, &QToolButton::clicked, this, guard([this] { btnCopiarClick(); }));

    resize(1000, 620);
}

void TfrmCedente::FormShow()
{
    dm->qrEmpresa->Close();
    dm->qrEmpresa->Open();
    dm->qrBoletoCedente->Close();
    dm->qrBoletoCedente->Open();
}

void TfrmCedente::FormClose()
{
    dm->qrEmpresa->Close();
    dm->qrBoletoCedente->Close();
}

void TfrmCedente::btnSairClick()
{
    closeWindow();
}

void TfrmCedente::btnAlteraClick()
{
    frmCedenteDados = new TfrmCedenteDados(window());
    frmCedenteDados->grDados->setEnabled(true);
    dm->qrBoletoCedente->Edit();
    frmCedenteDados->exec();
}

void TfrmCedente::btnCopiarClick()
{
    const QString cnpj = cleanCnpj(dm->qrEmpresaCNPJ->AsString());
    // Looks for the tax number as the beneficiary would hold it: a longer
    // one is stored cut to the column, and the server refuses to compare a
    // parameter longer than the column.
    const QString stored = cnpj.left(dm->qrBoletoCedenteBCECNPJ->Size());
    dm->qrAux->Close();
    dm->qrAux->SetSQL(QStringLiteral("select * from BoletoCedente where bceCNPJ = :xCNPJ"));
    dm->qrAux->ParamByName(QStringLiteral("xCNPJ")).SetAsString(stored);
    dm->qrAux->Open();
    // One or more beneficiaries with this tax number: already copied.
    if (dm->qrAux->RecordCount() >= 1) {
        dialogs().notice(
            QStringLiteral("Esta Empresa já foi Copiada para o Cadastro de Cedentes."));
        throw SilentAbort();
    }
    RecordSet* cedente = dm->qrBoletoCedente;
    cedente->Append();
    dm->qrBoletoCedenteBCERAZAO->SetAsString(dm->qrEmpresaNOME->AsString());
    dm->qrBoletoCedenteBCEFANTASIA->SetAsString(dm->qrEmpresaNOME1->AsString());
    dm->qrBoletoCedenteBCECNPJ->SetAsString(cnpj);
    dm->qrBoletoCedenteBCELOGRADOURO->SetAsString(dm->qrEmpresaENDERECO->AsString());
    dm->qrBoletoCedenteBCENUMERO->SetAsString(dm->qrEmpresaNLOCAL->AsString());
    dm->qrBoletoCedenteBCECOMPLEMENTO->SetAsString(dm->qrEmpresaCOMPL->AsString());
    dm->qrBoletoCedenteBCEBAIRRO->SetAsString(dm->qrEmpresaBAIRRO->AsString());
    dm->qrBoletoCedenteBCECEP->SetAsString(dm->qrEmpresaCEP->AsString());
    dm->qrBoletoCedenteBCECODIBGECIDADE->SetAsString(dm->qrEmpresaCOD_MUN->AsString());
    dm->qrBoletoCedenteBCETELEFONE->SetAsString(dm->qrEmpresaTELEFONE->AsString());
    dm->qrBoletoCedenteBCEEMAIL->SetAsString(dm->qrEmpresaEMAIL->AsString());
    cedente->Post();
    dialogs().notice(QStringLiteral("Cedente copiado com Sucesso.\r\rRevise e complete os dados "
                                    "antes de enviar para a Plataforma."));
}

void TfrmCedente::btnRegistrarClick()
{
    registerCedente(*dm, dialogs());
}

void TfrmCedente::btnAPIAlterarClick()
{
    updateCedente(*dm, dialogs());
}
