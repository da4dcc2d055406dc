#include "untCedenteDados.h"

#include "dbedit.h"
#include "guard.h"
#include "untDM.h"
#include "windowparts.h"

#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

TfrmCedenteDados* frmCedenteDados = nullptr;

using WindowParts::FieldRow;

TfrmCedenteDados::TfrmCedenteDados(QWidget* parent)
    : DataWindow(parent, QStringLiteral("frmCedenteDados"), QStringLiteral("Dados do Cedente"))
{

    DataSource* ds = dm->dsBoletoCedente;
    grDados = new QGroupBox(this);
    grDados->setObjectName(QStringLiteral("grDados"));
    WindowParts::FieldRows rows(grDados);
    const auto row = [&] { return rows.next(); };
    const auto edit = [&](const char* column, const char* name, bool readOnly = false) {
        auto* e = new DBEdit(ds, QString::fromLatin1(column), grDados);
        e->setObjectName(QString::fromLatin1(name));
        e->setReadOnly(readOnly);
        return e;
    };

    FieldRow r1 = row();
    dbCodigo =
        r1.add(QStringLiteral("Código"), new DBText(ds, QStringLiteral("BCECODIGO"), grDados), 1);
    dbCodigo->setObjectName(QStringLiteral("dbCodigo"));
    WindowParts::styleKeyText(dbCodigo);
    dbCNPJ = r1.add(QStringLiteral("CNPJ"), edit("BCECNPJ", "dbCNPJ"), 2);
    DBEdit12 = r1.add(QStringLiteral("ID Cedente"), edit("BCEIDCEDENTE", "DBEdit12", true), 2);
    dbSituacao = r1.add(QStringLiteral("Situação"), edit("BCESITUACAO", "dbSituacao", true), 2);

    dbRazao = row().add(QStringLiteral("Razão Social"), edit("BCERAZAO", "dbRazao"), 1);
    dbFantasia = row().add(QStringLiteral("Nome Fantasia"), edit("BCEFANTASIA", "dbFantasia"), 1);
    dbLogradouro =
        row().add(QStringLiteral("Logradouro"), edit("BCELOGRADOURO", "dbLogradouro"), 1);

    FieldRow r5 = row();
    dbNumero = r5.add(QStringLiteral("Número"), edit("BCENUMERO", "dbNumero"), 1);
    dbComplemento =
        r5.add(QStringLiteral("Complemento"), edit("BCECOMPLEMENTO", "dbComplemento"), 4);

    FieldRow r6 = row();
    dbBairro = r6.add(QStringLiteral("Bairro"), edit("BCEBAIRRO", "dbBairro"), 4);
    dbCEP = r6.add(QStringLiteral("CEP"), edit("BCECEP", "dbCEP"), 1);
    dbCodIBGECidade =
        r6.add(QStringLiteral("Cód. IBGE Cidade"), edit("BCECODIBGECIDADE", "dbCodIBGECidade"), 1);

    FieldRow r7 = row();
    dbTelefone = r7.add(QStringLiteral("Telefone"), edit("BCETELEFONE", "dbTelefone"), 1,
                        QStringLiteral("(Somente Números)"));
    dbEmail = r7.add(QStringLiteral("e-mail"), edit("BCEEMAIL", "dbEmail"), 3);

    FieldRow r8 = row();
    dbDataCriado =
        r8.add(QStringLiteral("Data Criado"), edit("BCEDATACRIADO", "dbDataCriado", true), 1);
    dbDataAtualizado = r8.add(QStringLiteral("Data Atualizado"),
                              edit("BCEDATAATUALIZADO", "dbDataAtualizado", true), 1);

    FieldRow r9 = row();
    dbTOKEN = r9.add(QStringLiteral("TOKEN"), edit("BCETOKEN", "dbTOKEN", true), 1);
    dbTOKENeSales =
        r9.add(QStringLiteral("TOKEN eSales"), edit("BCETOKENESALES", "dbTOKENeSales", true), 1);

    dbConfigEmail = row().add(QStringLiteral("Config e-mail"),
                              edit("BCECONFIGEMAIL", "dbConfigEmail", true), 1);
    dbConfigNotificacao = row().add(QStringLiteral("Config Notificação"),
                                    edit("BCECONFIGNOTIFICACAO", "dbConfigNotificacao", true), 1);
    dbMotivoInativacao = row().add(QStringLiteral("Motivo Inativação"),
                                   edit("BCEMOTIVOINATIVACAO", "dbMotivoInativacao", true), 1);

    FieldRow r13 = row();
    dbDataAtivacao = r13.add(QStringLiteral("Data Ativação"),
                             edit("BCEDATAATIVACAO", "dbDataAtivacao", true), 1);
    dbDataInativacao = r13.add(QStringLiteral("Data Inativação"),
                               edit("BCEDATAINATIVACAO", "dbDataInativacao", true), 1);
    dbVencimentoCertificado =
        r13.add(QStringLiteral("Vencimento Certificado"),
                edit("BCEVENCIMENTOCERTIFICADO", "dbVencimentoCertificado", true), 1);

    dbCertificado =
        row().add(QStringLiteral("Certificado"), edit("BCECERTIFICADO", "dbCertificado"), 1);

    WindowParts::addDataButtons(this, grDados, btnCancelar, btnGravar);

    WindowParts::chainTabOrder({dbRazao,
                                dbFantasia,
                                dbCNPJ,
                                dbLogradouro,
                                dbNumero,
                                dbComplemento,
                                dbBairro,
                                dbCEP,
                                dbCodIBGECidade,
                                dbTelefone,
                                dbEmail,
                                DBEdit12,
                                dbDataCriado,
                                dbDataAtualizado,
                                dbTOKEN,
                                dbTOKENeSales,
                                dbSituacao,
                                dbConfigEmail,
                                dbConfigNotificacao,
                                dbMotivoInativacao,
                                dbDataAtivacao,
                                dbDataInativacao,
                                dbCertificado,
                                dbVencimentoCertificado,
                                btnGravar,
                                btnCancelar});

    connect(btnGravar, &QPushButton::clicked, this, guard([this] { btnGravarClick(); }));
    connect(btnCancelar, &QPushButton::clicked, this, guard([this] { btnCancelarClick(); }));

    fixSize(760);
}

void TfrmCedenteDados::FormShow()
{
    btnGravar->setVisible(grDados->isEnabled());
    if (grDados->isEnabled())
        dbCNPJ->setFocus(Qt::OtherFocusReason);
}

void TfrmCedenteDados::btnGravarClick()
{
    dm->qrBoletoCedente->Post();
    close();
}

void TfrmCedenteDados::btnCancelarClick()
{
    close();
}

void TfrmCedenteDados::FormClose()
{
    RecordSet* set = dm->qrBoletoCedente;
    if (set->State() != dsBrowse)
        set->Cancel();
}
