#include "untConvenioDados.h"

#include "dbcheckbox.h"
#include "dbcombobox.h"
#include "dbedit.h"
#include "guard.h"
#include "untDM.h"
#include "windowparts.h"

#include <QGroupBox>
#include <QPushButton>

QPointer<TfrmConvenioDados> frmConvenioDados;

using WindowParts::FieldRow;

TfrmConvenioDados::TfrmConvenioDados(QWidget* parent)
    : DataWindow(parent, QStringLiteral("frmConvenioDados"), QStringLiteral("Dados do Cedente"))
{
    setAttribute(Qt::WA_DeleteOnClose);

    DataSource* ds = dm->dsBoletoConvenio;
    grDados = new QGroupBox(this);
    grDados->setObjectName(QStringLiteral("grDados"));
    WindowParts::FieldRows rows(grDados);
    const auto edit = [&](const char* column, const char* name, bool readOnly = false) {
        auto* e = new DBEdit(ds, QString::fromLatin1(column), grDados);
        e->setObjectName(QString::fromLatin1(name));
        e->setReadOnly(readOnly);
        return e;
    };
    const auto list = [&](const char* column, const char* name, const QStringList& items) {
        auto* c =
            new DBComboBox(ds, QString::fromLatin1(column), DBComboBox::Style::Editable, grDados);
        c->setObjectName(QString::fromLatin1(name));
        c->setChoices(items);
        return c;
    };
    const auto check = [&](const char* column, const char* name, const QString& caption) {
        auto* c = new DBCheckBox(ds, QString::fromLatin1(column), caption, grDados);
        c->setObjectName(QString::fromLatin1(name));
        return c;
    };

    FieldRow r1 = rows.next();
    dbCodigo =
        r1.add(QStringLiteral("Código"), new DBText(ds, QStringLiteral("BCVCODIGO"), grDados), 1);
    dbCodigo->setObjectName(QStringLiteral("dbCodigo"));
    WindowParts::styleKeyText(dbCodigo);
    dbContaID = r1.add(QStringLiteral("ID Conta"), edit("BCOCONTAID", "dbContaID", true), 2);
    r1.addSpace(3);

    FieldRow r2 = rows.next();
    dbConvenioNum =
        r2.add(QStringLiteral("Número Convênio"), edit("BCVCONVENIONUMERO", "dbConvenioNum"), 2);
    dbConvenioDescr = r2.add(QStringLiteral("Descrição Convênio"),
                             edit("BCVCONVENIODESCRICAO", "dbConvenioDescr"), 4);

    FieldRow r3 = rows.next();
    dbCarteira = r3.add(QStringLiteral("Carteira"), edit("BCVCONVENIOCARTEIRA", "dbCarteira"), 2);
    dbCarteiraCodigo = r3.add(QStringLiteral("Código do Carteira"),
                              new DBComboBox(ds, QStringLiteral("BCVCONVENIOCARTEIRACODIGO"),
                                             DBComboBox::Style::FixedList, grDados),
                              4);
    dbCarteiraCodigo->setObjectName(QStringLiteral("dbCarteiraCodigo"));
    dbCarteiraCodigo->addChoice(QStringLiteral("1 - Cobrança Simples"), QStringLiteral("1"));
    dbCarteiraCodigo->addChoice(QStringLiteral("2 - Cobrança Vinculada"), QStringLiteral("2"));
    dbCarteiraCodigo->addChoice(QStringLiteral("3 - Cobrança Caucionada"), QStringLiteral("3"));
    dbCarteiraCodigo->addChoice(QStringLiteral("4 - Cobrança Descontada"), QStringLiteral("4"));
    dbCarteiraCodigo->addChoice(QStringLiteral("5 - Cobrança Vendor"), QStringLiteral("5"));

    FieldRow r4 = rows.next();
    dbEspecie = r4.add(QStringLiteral("Espécie"), edit("BCVCONVENIOESPECIE", "dbEspecie"), 2);
    dbPadraoCNAB = r4.add(QStringLiteral("Padrão CNAB"),
                          list("BCVCONVENIOPADRAOCNAB", "dbPadraoCNAB",
                               {QStringLiteral("240"), QStringLiteral("400")}),
                          2);
    r4.addSpace(2);

    FieldRow r5 = rows.next();
    dbReiniciaRemessaDiario =
        r5.addCaptioned(check("BCVCONVENIOREINICIARDIARIA", "dbReiniciaRemessaDiario",
                              QStringLiteral("Reinicia Remessa Diariamente")),
                        3);
    dbNumeroRemessa = r5.add(QStringLiteral("Número da Remessa"),
                             edit("BCVCONVENIONUMEROREMESSA", "dbNumeroRemessa"), 3);

    FieldRow r6 = rows.next();
    dbDensidade = r6.add(QStringLiteral("Densidade"),
                         list("BCVCONVENIODENSIDAREMESSA", "dbDensidade",
                              {QStringLiteral("1600"), QStringLiteral("6250")}),
                         3);
    dbRegistroInstantaneo = r6.addCaptioned(check("BCVCONVENIOREGINSTA", "dbRegistroInstantaneo",
                                                  QStringLiteral("Transmissão Instantânea")),
                                            3);

    FieldRow r7 = rows.next();
    dbApiID = r7.add(QStringLiteral("API ID"), edit("BCVCONVENIOAPIID", "dbApiID"), 1);
    dbApiKey = r7.add(QStringLiteral("API Key"), edit("BCVCONVENIOAPIKEY", "dbApiKey"), 1);
    // Shown in plain text, like every other field.
    dbApiSecret =
        r7.add(QStringLiteral("API Secret"), edit("BCVCONVENIOAPISECRET", "dbApiSecret"), 1);

    FieldRow r8 = rows.next();
    dbEstacao = r8.add(QStringLiteral("Estação"), edit("BCVCONVENIOESTACAO", "dbEstacao"), 3);
    dbNossoNumeroPelaAgencia =
        r8.addCaptioned(check("BCVCONVENIONOSSONUMEROBANCO", "dbNossoNumeroPelaAgencia",
                              QStringLiteral("Controle do Nosso Número pela Agência")),
                        3);

    FieldRow r9 = rows.next();
    dbTipoWebService =
        r9.add(QStringLiteral("Tipo Web Service"),
               list("BCVCONVENIOTIPOWEBSERVICE", "dbTipoWebService",
                    {QStringLiteral("v1"), QStringLiteral("v2"), QStringLiteral("v2.2"),
                     QStringLiteral("v3"), QStringLiteral("NORMAL"), QStringLiteral("SHOP FACIL")}),
               2);
    dbConsultaWS = r9.addCaptioned(
        check("BCVCONVENIOCONSULTAWS", "dbConsultaWS", QStringLiteral("Consulta WS")), 1);
    dbNumeroContrato = r9.add(QStringLiteral("Número Contrato"),
                              edit("BCVCONVENIONUMEROCONTRATO", "dbNumeroContrato"), 3);

    FieldRow r10 = rows.next();
    dbDataCriado = r10.add(QStringLiteral("Data Criado"),
                           edit("BCVCONVENIODATACRIADO", "dbDataCriado", true), 1);
    dbDataAtualizado = r10.add(QStringLiteral("Data Atualizado"),
                               edit("BCVCONVENIODATAATUALIZADO", "dbDataAtualizado", true), 1);

    WindowParts::addDataButtons(this, grDados, btnCancelar, btnGravar);
    WindowParts::chainTabOrder({dbContaID,
                                dbConvenioNum,
                                dbConvenioDescr,
                                dbCarteira,
                                dbCarteiraCodigo,
                                dbEspecie,
                                dbPadraoCNAB,
                                dbReiniciaRemessaDiario,
                                dbNumeroRemessa,
                                dbDensidade,
                                dbRegistroInstantaneo,
                                dbApiID,
                                dbApiKey,
                                dbApiSecret,
                                dbEstacao,
                                dbNossoNumeroPelaAgencia,
                                dbTipoWebService,
                                dbConsultaWS,
                                dbNumeroContrato,
                                dbDataCriado,
                                dbDataAtualizado,
                                btnGravar,
                                btnCancelar});

    connect(dbPadraoCNAB, &DBComboBox::valueEdited, this,
            [this] { guarded([this] { dbPadraoCNABChange(); }); });
    connect(btnGravar, &QPushButton::clicked, this, guard([this] { btnGravarClick(); }));
    connect(btnCancelar, &QPushButton::clicked, this, guard([this] { btnCancelarClick(); }));

    fixSize(680);
}

void TfrmConvenioDados::FormShow()
{
    btnGravar->setEnabled(grDados->isEnabled());
    if (grDados->isEnabled())
        dbConvenioNum->setFocus(Qt::OtherFocusReason);
}

void TfrmConvenioDados::dbPadraoCNABChange()
{
    // CNAB 240 files carry a wallet and a contract number; any other
    // standard, or one still being typed, carries neither.
    const bool cnab240 = dbPadraoCNAB->currentText() == QStringLiteral("240");
    dbCarteira->setEnabled(cnab240);
    dm->qrBoletoConvenioBCVCONVENIOCARTEIRA->SetAsString(cnab240 ? QStringLiteral("1") : QString());
    dbNumeroContrato->setEnabled(cnab240);
    dm->qrBoletoConvenioBCVCONVENIONUMEROCONTRATO->SetAsString(QString());
}

void TfrmConvenioDados::btnGravarClick()
{
    dm->qrBoletoConvenio->Post();
    close();
}

void TfrmConvenioDados::btnCancelarClick()
{
    close();
}

void TfrmConvenioDados::FormClose()
{
    RecordSet* set = dm->qrBoletoConvenio;
    if (set->State() != dsBrowse)
        set->Cancel();
}
