#include "untContaDados.h"

#include "dbcheckbox.h"
#include "dbcombobox.h"
#include "dbedit.h"
#include "dblookup.h"
#include "dialogs.h"
#include "errors.h"
#include "guard.h"
#include "untDM.h"
#include "windowparts.h"

#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

QPointer<TfrmContaDados> frmContaDados;

namespace {

[[noreturn]] void refuse(const QString& text)
{
    dialogs().notice(text);
    throw SilentAbort();
}

} // namespace

using WindowParts::FieldRow;

TfrmContaDados::TfrmContaDados(QWidget* parent)
    : DataWindow(parent, QStringLiteral("frmContaDados"), QStringLiteral("Dados do Cedente"))
{
    setAttribute(Qt::WA_DeleteOnClose);

    DataSource* ds = dm->dsBoletoConta;
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
        r1.add(QStringLiteral("Código"), new DBText(ds, QStringLiteral("BCOCODIGO"), grDados), 1);
    dbCodigo->setObjectName(QStringLiteral("dbCodigo"));
    WindowParts::styleKeyText(dbCodigo);
    dbCedente =
        r1.add(QStringLiteral("Cedente"),
               new DBLookupComboBox(ds, QStringLiteral("BCECNPJ"), dm->dsBoletoCedente,
                                    QStringLiteral("BCECNPJ"), QStringLiteral("BCERAZAO"), grDados),
               5);
    dbCedente->setObjectName(QStringLiteral("dbCedente"));
    // Long legal names must not widen the window.
    dbCedente->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    dbCedente->setMinimumContentsLength(20);
    dbIDCedente =
        r1.add(QStringLiteral("ID Cedente"), edit("BCEIDCEDENTE", "dbIDCedente", true), 2);

    FieldRow r2 = row();
    dbCodBanco =
        r2.add(QStringLiteral("Código Banco"), edit("BCOCONTACODIGOBANCO", "dbCodBanco"), 1);
    dbAgencia = r2.add(QStringLiteral("Agência"), edit("BCOCONTAAGENCIA", "dbAgencia"), 1);
    dbAgenciaDV = r2.add(QStringLiteral("Agência DV"), edit("BCOCONTAAGENCIADV", "dbAgenciaDV"), 1);
    r2.addSpace(3);

    FieldRow r3 = row();
    dbNumConta = r3.add(QStringLiteral("Número Conta"), edit("BCOCONTANUMERO", "dbNumConta"), 3);
    dbNumContaDV =
        r3.add(QStringLiteral("Número Conta DV"), edit("BCOCONTANUMERODV", "dbNumContaDV"), 1);
    dbContaAtiva = r3.addCaptioned(
        new DBCheckBox(ds, QStringLiteral("BCOCONTAATIVA"), QStringLiteral("Conta Ativa"), grDados),
        2);
    dbContaAtiva->setObjectName(QStringLiteral("dbContaAtiva"));

    FieldRow r4 = row();
    dbTipo = r4.add(
        QStringLiteral("Tipo Conta"),
        new DBComboBox(ds, QStringLiteral("BCOCONTATIPO"), DBComboBox::Style::Editable, grDados),
        2);
    dbTipo->setObjectName(QStringLiteral("dbTipo"));
    dbTipo->setChoices({QStringLiteral("CORRENTE"), QStringLiteral("POUPANCA")});
    dbCodBeneficiario = r4.add(QStringLiteral("Código do Beneficiário"),
                               edit("BCOCONTACODBENEFICIARIO", "dbCodBeneficiario"), 2);
    r4.addSpace(2);

    FieldRow r5 = row();
    dbCedenteCNPJ =
        r5.add(QStringLiteral("CNPJ Cedente"), edit("BCECNPJ", "dbCedenteCNPJ", true), 2);
    r5.addSpace(4);

    FieldRow r6 = row();
    dbContaID = r6.add(QStringLiteral("ID Conta"), edit("BCOCONTAID", "dbContaID", true), 1);
    dbStatus = r6.add(QStringLiteral("Status"), edit("BCOSTATUS", "dbStatus", true), 1);

    FieldRow r7 = row();
    dbDataCriado =
        r7.add(QStringLiteral("Data Criado"), edit("BCODATACRIADO", "dbDataCriado", true), 1);
    dbDataAtualizado = r7.add(QStringLiteral("Data Atualizado"),
                              edit("BCODATAATUALIZADO", "dbDataAtualizado", true), 1);

    WindowParts::addDataButtons(this, grDados, btnCancelar, btnGravar);

    WindowParts::chainTabOrder({dbCedente, dbIDCedente, dbCodBanco, dbAgencia, dbAgenciaDV,
                                dbNumConta, dbNumContaDV, dbContaAtiva, dbTipo, dbCodBeneficiario,
                                dbContaID, dbStatus, dbDataCriado, dbDataAtualizado, dbCedenteCNPJ,
                                btnGravar, btnCancelar});

    connect(dbCedente, &DBLookupComboBox::exited, this, guard([this] { dbCedenteExit(); }));
    connect(btnGravar, &QPushButton::clicked, this, guard([this] { btnGravarClick(); }));
    connect(btnCancelar, &QPushButton::clicked, this, guard([this] { btnCancelarClick(); }));

    fixSize(720);
}

void TfrmContaDados::FormShow()
{
    btnGravar->setEnabled(grDados->isEnabled());
    if (grDados->isEnabled())
        dbCedente->setFocus(Qt::OtherFocusReason);
}

void TfrmContaDados::dbCedenteExit()
{
    // No beneficiary chosen yet (a new account): nothing to look up, and
    // the identifier stays as it is.
    const QString cnpj = dbCedente->keyValue();
    if (cnpj.isEmpty())
        return;
    RecordSet* aux = dm->qrAux;
    aux->Close();
    // Of several beneficiaries with the CNPJ, the one the selector shows.
    aux->SetSQL(QStringLiteral("select bceIDCedente from BoletoCedente where bceCNPJ = :xCNPJ "
                               "order by bceCodigo"));
    aux->ParamByName(QStringLiteral("xCNPJ")).SetAsString(cnpj);
    aux->Open();
    const QString id = aux->RecordCount() > 0 ? aux->Fields(0).AsString() : QString();
    aux->Close();
    dm->qrBoletoContaBCEIDCEDENTE->SetAsString(id);
}

void TfrmContaDados::btnGravarClick()
{
    // Characters are counted, blanks too; nothing asks for digits.
    if (dm->qrBoletoContaBCOCONTACODIGOBANCO->AsString().size() < 3)
        refuse(QStringLiteral("O Número do Banco deve ter pelo menos 3 digitos."));
    if (dm->qrBoletoContaBCOCONTAAGENCIA->AsString().size() < 4)
        refuse(QStringLiteral("O Número do Agência deve ter pelo menos 4 digitos."));
    if (dm->qrBoletoContaBCOCONTANUMERO->AsString().size() < 3)
        refuse(QStringLiteral("Número da Conta do Cedente é de Preenchimento Obrigatório."));
    if (dm->qrBoletoContaBCOCONTACODBENEFICIARIO->AsString().isEmpty())
        refuse(QStringLiteral("Código do Beneficiário é de Preenchimento Obrigatório."));
    dm->qrBoletoConta->Post();
    close();
}

void TfrmContaDados::btnCancelarClick()
{
    close();
}

void TfrmContaDados::FormClose()
{
    RecordSet* set = dm->qrBoletoConta;
    if (set->State() != dsBrowse)
        set->Cancel();
}
