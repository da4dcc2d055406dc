// The account windows driven as a user would, against a real database.
#include "dbcheckbox.h"
#include "dbcombobox.h"
#include "dbedit.h"
#include "dbgrid.h"
#include "dblookup.h"
#include "scripteddialogs.h"
#include "testserver.h"
#include "untConta.h"
#include "untContaDados.h"
#include "untDM.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace Qt::StringLiterals;

namespace {
const QString noCedente = u"Cadastre pelo menos um Cedente para cadastrar uma Conta."_s;
const QString bankShort = u"O Número do Banco deve ter pelo menos 3 digitos."_s;
const QString agencyShort = u"O Número do Agência deve ter pelo menos 4 digitos."_s;
const QString accountShort = u"Número da Conta do Cedente é de Preenchimento Obrigatório."_s;
const QString codeEmpty = u"Código do Beneficiário é de Preenchimento Obrigatório."_s;
// Left in qrAux to tell whether anything ran a statement through it.
const QString untouched = u"select 'untouched' from rdb$database"_s;

// Types into an edit of the data-entry window, replacing what it shows.
void retype(QLineEdit* edit, const QString& text)
{
    edit->setFocus();
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    else
        QTest::keyClicks(edit, text);
}

TfrmContaDados* dataWindow(QWidget* modal)
{
    auto* d = qobject_cast<TfrmContaDados*>(modal);
    if (d) {
        d->activateWindow();
        if (!QTest::qWaitFor([d] { return QGuiApplication::focusWindow() == d->windowHandle(); }))
            qWarning("the data-entry window did not become active");
    }
    return d;
}
} // namespace

class TestConta : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void listWindowLayout();
    void withoutBeneficiaryTheWindowClosesItself();
    void emptyListNotices_data();
    void emptyListNotices();
    void activateOrInactivate_data();
    void activateOrInactivate();
    void includeStoresTheInclusionValues();
    void saveChecks_data();
    void saveChecks();
    void cancellingAnIncludeLeavesNothing_data();
    void cancellingAnIncludeLeavesNothing();
    void alterSavesOrRestores();
    void dataWindowLayout();
    void selectorStoresTheBeneficiaryAndItsIdentifier();
    void selectorWithAnApostropheInTheCnpj();
    void selectorWithTwoBeneficiariesSharingACnpj();
    void leavingAnEmptySelectorLooksNothingUp();
    void ctrlDeleteRemovesOnlyTheAccount_data();
    void ctrlDeleteRemovesOnlyTheAccount();
    void closingTheListClosesItsRecordSets();

private:
    void openList();
    void insertCedente(int codigo, const QString& razao, const QString& cnpj, const QString& id);
    void insertConta(const QString& columns, const QString& values);
    QString column(const QString& name, int codigo = 1);
    int count(const QString& select);

    TestServer m_server;
    QString m_path;
    Connection m_admin;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<Tdm> m_dm;
    std::unique_ptr<QWidget> m_main; // stands in for the main window
    QPointer<TfrmConta> m_frm;
};

void TestConta::initTestCase()
{
    if (!TestServer::available())
        return;
    m_server = TestServer::fromEnvironment();
    m_path = m_server.createDatabase(m_admin, u"conta"_s);
    m_admin.executeScript(readTextFile(sourcePath(u"data/demo.sql"_s)));
}

void TestConta::init()
{
    REQUIRE_TEST_SERVER();
    m_admin.execute(u"delete from BoletoConvenio"_s, {});
    m_admin.execute(u"delete from BoletoConta"_s, {});
    m_admin.execute(u"delete from BoletoCedente"_s, {});
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_dm = std::make_unique<Tdm>(m_dialogs.get());
    m_server.useDatabase(*m_dm, m_path);
    m_main = std::make_unique<QWidget>();
    m_main->resize(1100, 700);
}

void TestConta::cleanup()
{
    if (m_dialogs)
        VERIFY_DIALOGS(*m_dialogs);
    m_main.reset();
    m_dm.reset();
    m_dialogs.reset();
}

// Opens the list over what the tables hold now.
void TestConta::openList()
{
    m_frm = new TfrmConta(m_main.get());
    m_frm->resize(m_main->size());
    m_main->show();
    QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
}

void TestConta::insertCedente(int codigo, const QString& razao, const QString& cnpj,
                              const QString& id)
{
    m_admin.execute(u"insert into BoletoCedente (BCECODIGO, BCERAZAO, BCECNPJ, BCEIDCEDENTE) "
                    u"values (?, ?, ?, ?)"_s,
                    {SqlValue::fromInteger(codigo), SqlValue::fromText(razao),
                     SqlValue::fromText(cnpj),
                     id.isNull() ? SqlValue::null() : SqlValue::fromText(id)});
}

void TestConta::insertConta(const QString& columns, const QString& values)
{
    m_admin.execute(u"insert into BoletoConta ("_s + columns + u") values ("_s + values + u")"_s,
                    {});
}

QString TestConta::column(const QString& name, int codigo)
{
    return queryText(m_admin, u"select "_s + name + u" from BoletoConta where BCOCODIGO = ?"_s,
                     {SqlValue::fromInteger(codigo)});
}

int TestConta::count(const QString& select)
{
    return queryNumber(m_admin, select);
}

void TestConta::listWindowLayout()
{
    insertCedente(1, u"Alfa"_s, u"11111111000111"_s, {});
    insertCedente(2, u"Beta"_s, u"22222222000122"_s, {});
    insertConta(u"BCOCODIGO, BCECNPJ"_s, u"1, '22222222000122'"_s);
    openList();
    QCOMPARE(m_frm->windowTitle(), u"Controle de Contas do Cedente"_s);
    const struct
    {
        QToolButton* button;
        QString caption, hint;
    } buttons[] = {
        {m_frm->btnSair, u"&Sair"_s, u"Sair do Controle de Cedente"_s},
        {m_frm->btnIncluir, u"&Incluir"_s, u"Inclui uma Nova Conta para o Cedente"_s},
        {m_frm->btnAltera, u"&Alterar"_s, u"Alterar os Dados da Conta Selecionada"_s},
        {m_frm->btnInativar, u"I&nativar"_s, u"Inativar a Conta Selecionada"_s},
        {m_frm->btnAPIRegistrar, u"&Registrar Conta"_s,
         u"Registrar a Conta do Cedente no Sistema"_s},
        {m_frm->btnAPIAlterar, u"&Atualizar Conta"_s,
         u"Alterar dados da Conta do Cedente no Sistema da API"_s},
    };
    int left = -1;
    for (const auto& b : buttons) {
        QCOMPARE(b.button->text(), b.caption);
        QCOMPARE(b.button->accessibleDescription(), b.hint);
        QCOMPARE(b.button->toolTip(), QString());
        QCOMPARE(b.button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        QVERIFY(!b.button->icon().isNull());
        const int x = b.button->mapTo(m_frm, QPoint()).x();
        QVERIFY2(x > left, qPrintable(b.caption)); // left to right
        left = x;
    }
    QCOMPARE(m_frm->panelBotoes->text(), u"CONTA DO CEDENTE"_s);
    const QStringList titles = {u"Cód. Banco"_s,
                                u"Agência"_s,
                                u"DV Agência"_s,
                                u"Número Conta"_s,
                                u"DV Número Conta"_s,
                                u"Tipo de Conta"_s,
                                u"Cód. Beneficiário"_s,
                                u"Cód. Banco Correspondente"_s,
                                u"Cód. Empresa"_s,
                                u"Validação Ativa"_s,
                                u"Impressão Atualizada"_s,
                                u"Imp. Atualizada Alteração"_s,
                                u"Imp. Atualizada Liquidado"_s,
                                u"Data Criação"_s,
                                u"Data Atualização"_s,
                                u"Status"_s,
                                u"ID Conta"_s,
                                u"Conta Ativa"_s,
                                u"ID Cedente"_s,
                                u"CNPJ do Cedente"_s};
    QAbstractItemModel* model = m_frm->RxDBGrid1->model();
    QCOMPARE(model->columnCount(), titles.size());
    for (int c = 0; c < titles.size(); ++c)
        QCOMPARE(model->headerData(c, Qt::Horizontal).toString(), titles[c]);
    QCOMPARE(model->index(0, 19).data().toString(), u"22222222000122"_s);
    QVERIFY(!m_frm->RxDBGrid1->isReadOnly());
    // Shown: the three record sets read anew, the beneficiaries on their first row.
    QCOMPARE(m_dm->qrEmpresa->State(), dsBrowse);
    QCOMPARE(m_dm->qrBoletoConta->State(), dsBrowse);
    QCOMPARE(m_dm->qrBoletoConta->RecordCount(), 1);
    QCOMPARE(m_dm->qrBoletoCedente->State(), dsBrowse);
    QCOMPARE(m_dm->qrBoletoCedente->RecNo(), 0);
}

void TestConta::withoutBeneficiaryTheWindowClosesItself()
{
    // As the main window holds it: in a workspace sub-window, destroyed on close.
    QMdiArea area;
    area.resize(1100, 700);
    area.show();
    QPointer<TfrmConta> frm = new TfrmConta;
    frm->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<QMdiSubWindow> sub = area.addSubWindow(frm);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    m_dialogs->expectNotice(noCedente);
    frm->show();
    QTRY_VERIFY(!sub);
    QVERIFY(!frm);
    QCOMPARE(area.subWindowList().size(), 0);
    QCOMPARE(m_dm->qrEmpresa->State(), dsInactive);
    QCOMPARE(m_dm->qrBoletoCedente->State(), dsInactive);
    QCOMPARE(m_dm->qrBoletoConta->State(), dsInactive);
}

void TestConta::emptyListNotices_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("notice");
    QTest::newRow("Alterar") << u"btnAltera"_s << u"Selecione uma Conta para editar."_s;
    QTest::newRow("Inativar") << u"btnInativar"_s << u"Nenhuma Conta Selecionada."_s;
}

void TestConta::emptyListNotices()
{
    QFETCH(QString, button);
    QFETCH(QString, notice);
    insertCedente(1, u"Alfa"_s, u"11111111000111"_s, {});
    openList();
    QCOMPARE(m_frm->RxDBGrid1->model()->rowCount(), 0);
    m_dialogs->expectNotice(notice);
    m_frm->findChild<QToolButton*>(button)->click();
    QVERIFY(!frmContaDados);
    QCOMPARE(m_dm->qrBoletoConta->State(), dsBrowse);
    QCOMPARE(count(u"select count(*) from BoletoConta"_s), 0);
}

void TestConta::activateOrInactivate_data()
{
    QTest::addColumn<QString>("stored"); // SQL literal
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("after");
    const QString active = u"Conta Ativa"_s, inactive = u"Conta Inativa"_s;
    const QString toInactive = u"Deseja realmente Inativar essa Conta?"_s;
    const QString toActive = u"Deseja realmente Ativar essa Conta?"_s;
    QTest::newRow("active, Yes") << u"'1'"_s << true << active << toInactive << u"0"_s;
    QTest::newRow("active, No") << u"'1'"_s << false << active << toInactive << u"1"_s;
    QTest::newRow("inactive, Yes") << u"'0'"_s << true << inactive << toActive << u"1"_s;
    QTest::newRow("inactive, No") << u"'0'"_s << false << inactive << toActive << u"0"_s;
    QTest::newRow("empty counts as active") << u"''"_s << true << active << toInactive << u"0"_s;
    QTest::newRow("null counts as active") << u"null"_s << true << active << toInactive << u"0"_s;
    QTest::newRow("null, No") << u"null"_s << false << active << toInactive << u"<null>"_s;
    QTest::newRow("other counts as active") << u"'S'"_s << true << active << toInactive << u"0"_s;
}

void TestConta::activateOrInactivate()
{
    QFETCH(QString, stored);
    QFETCH(bool, answer);
    QFETCH(QString, title);
    QFETCH(QString, question);
    QFETCH(QString, after);
    insertCedente(1, u"Alfa"_s, u"11111111000111"_s, {});
    insertConta(u"BCOCODIGO, BCOCONTAATIVA"_s, u"1, '1'"_s);
    insertConta(u"BCOCODIGO, BCOCONTAATIVA, BCOCONTAID"_s, u"2, "_s + stored + u", '55'"_s);
    openList();
    m_dm->qrBoletoConta->SetRecNo(1);
    m_dialogs->expectQuestion(title, question, answer);
    m_frm->btnInativar->click();
    QCOMPARE(column(u"BCOCONTAATIVA"_s, 2), after);
    QCOMPARE(column(u"BCOCONTAATIVA"_s, 1), u"1"_s);
    QCOMPARE(column(u"BCOCONTAID"_s, 2), u"55"_s);
    QCOMPARE(m_dm->qrBoletoConta->State(), dsBrowse);
    QCOMPARE(m_dm->qrBoletoConta->RecNo(), 1);
    QCOMPARE(m_frm->btnInativar->text(), u"I&nativar"_s); // whatever it did
    if (after != u"<null>")
        QCOMPARE(m_frm->RxDBGrid1->model()->index(1, 17).data().toString(), after);
}

void TestConta::includeStoresTheInclusionValues()
{
    insertCedente(1, u"Alfa"_s, u"11111111000111"_s, u"ID-ALFA"_s);
    openList();
    m_dm->qrAux->Close();
    m_dm->qrAux->SetSQL(untouched);
    bool checked = false;
    onModal([&](QWidget* modal) {
        TfrmContaDados* d = dataWindow(modal);
        QVERIFY(d);
        QCOMPARE(d, frmContaDados.data());
        QCOMPARE(m_dm->qrBoletoConta->State(), dsInsert);
        QVERIFY(d->dbContaAtiva->isChecked());
        QCOMPARE(d->dbCedente->currentIndex(), -1);
        QCOMPARE(d->dbCodigo->text(), QString()); // no key before the save
        retype(d->dbCodBanco, u"001"_s);
        retype(d->dbAgencia, u"1234"_s);
        retype(d->dbNumConta, u"123"_s);
        retype(d->dbCodBeneficiario, u"7"_s);
        checked = true;
        d->btnGravar->click();
    });
    m_frm->btnIncluir->click();
    QVERIFY(checked);
    QTRY_VERIFY(!frmContaDados); // released
    QCOMPARE(count(u"select count(*) from BoletoConta"_s), 1);
    QCOMPARE(column(u"BCOCONTACODIGOEMPRESA"_s), QString()); // empty, not null
    QCOMPARE(column(u"BCOCONTAVALIDACAOATIVA"_s), u"1"_s);
    QCOMPARE(column(u"BCOCONTAIMPRATUALIZADA"_s), u"0"_s);
    QCOMPARE(column(u"BCOCONTAIMPRATUALIZADAALT"_s), u"0"_s);
    QCOMPARE(column(u"BCOCONTAIMPRATUALIZADALIQ"_s), u"0"_s);
    QCOMPARE(column(u"BCOCONTAATIVA"_s), u"1"_s);
    QCOMPARE(column(u"BCOCONTACODIGOBANCO"_s), u"001"_s);
    QCOMPARE(column(u"BCOCONTACODBENEFICIARIO"_s), u"7"_s);
    // No beneficiary chosen: none stored, and none looked up.
    for (const char* none : {"BCECNPJ", "BCEIDCEDENTE", "BCOCONTATIPO", "BCOCONTAAGENCIADV",
                             "BCOCONTACODBANCOCORRESP", "BCOCONTAID", "BCOSTATUS"})
        QCOMPARE(column(QLatin1String(none)), u"<null>"_s);
    QCOMPARE(m_dm->qrBoletoConta->State(), dsBrowse);
    QCOMPARE(m_dm->qrBoletoContaBCOCODIGO->AsInteger(), 1);
    QCOMPARE(m_frm->RxDBGrid1->model()->rowCount(), 1);
    QCOMPARE(m_frm->RxDBGrid1->currentIndex().row(), 0);
}

void TestConta::saveChecks_data()
{
    QTest::addColumn<QString>("banco");
    QTest::addColumn<QString>("agencia");
    QTest::addColumn<QString>("numero");
    QTest::addColumn<QString>("codigo");
    QTest::addColumn<QString>("notice"); // empty: saved
    QTest::newRow("all pass") << u"123"_s << u"1234"_s << u"123"_s << u"7"_s << QString();
    QTest::newRow("bank 12") << u"12"_s << u"1234"_s << u"123"_s << u"7"_s << bankShort;
    QTest::newRow("bank of three blanks")
        << u"   "_s << u"1234"_s << u"123"_s << u"7"_s << QString();
    QTest::newRow("agency 123") << u"123"_s << u"123"_s << u"123"_s << u"7"_s << agencyShort;
    QTest::newRow("account 12") << u"123"_s << u"1234"_s << u"12"_s << u"7"_s << accountShort;
    QTest::newRow("empty beneficiary code")
        << u"123"_s << u"1234"_s << u"123"_s << QString() << codeEmpty;
    QTest::newRow("everything wrong: the bank")
        << QString() << u"1"_s << QString() << QString() << bankShort;
    QTest::newRow("agency and account: the agency")
        << u"123"_s << u"1"_s << u"1"_s << QString() << agencyShort;
    QTest::newRow("account and code: the account")
        << u"123"_s << u"1234"_s << u"1"_s << QString() << accountShort;
}

void TestConta::saveChecks()
{
    QFETCH(QString, banco);
    QFETCH(QString, agencia);
    QFETCH(QString, numero);
    QFETCH(QString, codigo);
    QFETCH(QString, notice);
    insertCedente(1, u"Alfa"_s, u"11111111000111"_s, {});
    openList();
    bool refusedAndStillOpen = false;
    onModal([&](QWidget* modal) {
        TfrmContaDados* d = dataWindow(modal);
        QVERIFY(d);
        retype(d->dbCodBanco, banco);
        retype(d->dbAgencia, agencia);
        retype(d->dbNumConta, numero);
        retype(d->dbCodBeneficiario, codigo);
        if (!notice.isEmpty())
            m_dialogs->expectNotice(notice);
        d->btnGravar->click();
        if (notice.isEmpty())
            return;
        refusedAndStillOpen = d->isVisible() && m_dm->qrBoletoConta->State() == dsInsert &&
                              m_dm->qrBoletoContaBCOCONTACODIGOBANCO->AsString() == banco;
        d->btnCancelar->click();
    });
    m_frm->btnIncluir->click();
    QCOMPARE(count(u"select count(*) from BoletoConta"_s), notice.isEmpty() ? 1 : 0);
    if (notice.isEmpty())
        QCOMPARE(column(u"BCOCONTACODIGOBANCO"_s), banco);
    else
        QVERIFY(refusedAndStillOpen);
}

void TestConta::cancellingAnIncludeLeavesNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancelar") << u"cancel"_s;
    QTest::newRow("Esc") << u"esc"_s;
    QTest::newRow("close box") << u"close"_s;
}

void TestConta::cancellingAnIncludeLeavesNothing()
{
    QFETCH(QString, how);
    insertCedente(1, u"Alfa"_s, u"11111111000111"_s, {});
    insertConta(u"BCOCODIGO, BCOCONTANUMERO"_s, u"4, 'quatro'"_s);
    openList();
    m_dm->qrAux->Close();
    m_dm->qrAux->SetSQL(untouched);
    onModal([&](QWidget* modal) {
        TfrmContaDados* d = dataWindow(modal);
        QVERIFY(d);
        retype(d->dbCodBanco, u"123"_s);
        retype(d->dbAgencia, u"1234"_s);
        retype(d->dbNumConta, u"123"_s);
        retype(d->dbCodBeneficiario, u"7"_s);
        if (how == u"cancel")
            d->btnCancelar->click();
        else if (how == u"esc")
            QTest::keyClick(d->dbNumConta, Qt::Key_Escape);
        else
            d->close();
    });
    m_frm->btnIncluir->click();
    QCOMPARE(m_dm->qrBoletoConta->State(), dsBrowse);
    QCOMPARE(m_dm->qrBoletoConta->RecordCount(), 1);
    QCOMPARE(m_frm->RxDBGrid1->model()->rowCount(), 1);
    QCOMPARE(m_dm->qrBoletoContaBCOCONTANUMERO->AsString(), u"quatro"_s);
    QCOMPARE(count(u"select count(*) from BoletoConta"_s), 1);
    QCOMPARE(m_dm->qrAux->SQL(), untouched); // no key was taken
    QTRY_VERIFY(!frmContaDados);
}

void TestConta::alterSavesOrRestores()
{
    insertCedente(1, u"Alfa"_s, u"11111111000111"_s, u"ID-ALFA"_s);
    insertCedente(2, u"Beta"_s, u"22222222000122"_s, u"ID-BETA"_s);
    insertConta(u"BCOCODIGO, BCOCONTACODIGOBANCO, BCOCONTAAGENCIA, BCOCONTANUMERO, "
                u"BCOCONTACODBENEFICIARIO, BCOCONTATIPO, BCOCONTAATIVA, BCECNPJ, BCEIDCEDENTE"_s,
                u"1, '001', '1234', '5678', '99', 'CORRENTE', '1', '11111111000111', 'ID-ALFA'"_s);
    insertConta(u"BCOCODIGO, BCOCONTACODIGOBANCO"_s, u"2, '002'"_s);
    openList();

    // Every kind of control changed, then Esc: the stored values come back.
    onModal([&](QWidget* modal) {
        TfrmContaDados* d = dataWindow(modal);
        QVERIFY(d);
        QCOMPARE(m_dm->qrBoletoConta->State(), dsEdit);
        QCOMPARE(d->dbCodigo->text(), u"1"_s);
        QCOMPARE(d->dbCedente->currentText(), u"Alfa"_s);
        QCOMPARE(d->dbTipo->currentText(), u"CORRENTE"_s);
        QTest::keyClick(d->dbCedente, Qt::Key_Down); // Beta
        QTest::keyClick(d->dbCedente, Qt::Key_Tab);
        QCOMPARE(m_dm->qrBoletoContaBCEIDCEDENTE->AsString(), u"ID-BETA"_s);
        retype(d->dbCodBanco, u"237"_s);
        d->dbContaAtiva->click();
        d->dbTipo->setFocus();
        QTest::keyClick(d->dbTipo, Qt::Key_Down); // POUPANCA
        QTest::keyClick(d->dbCodBanco, Qt::Key_Escape);
    });
    m_frm->btnAltera->click();
    QCOMPARE(m_dm->qrBoletoConta->State(), dsBrowse);
    QCOMPARE(m_dm->qrBoletoContaBCOCONTACODIGOBANCO->AsString(), u"001"_s);
    QCOMPARE(m_dm->qrBoletoContaBCECNPJ->AsString(), u"11111111000111"_s);
    QCOMPARE(m_frm->RxDBGrid1->model()->index(0, 0).data().toString(), u"001"_s);
    QCOMPARE(column(u"BCOCONTACODIGOBANCO"_s), u"001"_s);
    QCOMPARE(column(u"BCEIDCEDENTE"_s), u"ID-ALFA"_s);
    QCOMPARE(column(u"BCOCONTAATIVA"_s), u"1"_s);
    QCOMPARE(column(u"BCOCONTATIPO"_s), u"CORRENTE"_s);

    // The same changes saved.
    onModal([&](QWidget* modal) {
        TfrmContaDados* d = dataWindow(modal);
        QVERIFY(d);
        QTest::keyClick(d->dbCedente, Qt::Key_Down);
        QTest::keyClick(d->dbCedente, Qt::Key_Tab);
        retype(d->dbCodBanco, u"237"_s);
        d->dbContaAtiva->click();
        d->dbTipo->setFocus();
        QTest::keyClick(d->dbTipo, Qt::Key_Down);
        d->btnGravar->click();
    });
    m_frm->btnAltera->click();
    QCOMPARE(count(u"select count(*) from BoletoConta"_s), 2);
    QCOMPARE(column(u"BCOCONTACODIGOBANCO"_s), u"237"_s);
    QCOMPARE(column(u"BCECNPJ"_s), u"22222222000122"_s);
    QCOMPARE(column(u"BCEIDCEDENTE"_s), u"ID-BETA"_s);
    QCOMPARE(column(u"BCOCONTAATIVA"_s), u"0"_s);
    QCOMPARE(column(u"BCOCONTATIPO"_s), u"POUPANCA"_s);
    QCOMPARE(column(u"BCOCONTACODIGOBANCO"_s, 2), u"002"_s);
}

void TestConta::dataWindowLayout()
{
    insertCedente(1, u"Alfa"_s, u"11111111000111"_s, {});
    insertCedente(2, u"Beta"_s, u"22222222000122"_s, {});
    openList();
    bool checked = false;
    onModal([&](QWidget* modal) {
        TfrmContaDados* d = dataWindow(modal);
        QVERIFY(d);
        QCOMPARE(d->windowTitle(), u"Dados do Cedente"_s);
        QVERIFY(d->grDados->isEnabled());
        QVERIFY(d->btnGravar->isEnabled());
        QCOMPARE(d->focusWidget(), d->dbCedente);
        QCOMPARE(d->btnCancelar->text(), u"   &Cancelar"_s);
        QCOMPARE(d->btnGravar->text(), u"   &Gravar"_s);
        QCOMPARE(d->btnCancelar->accessibleDescription(), u"Cancelar e Sair"_s);
        QCOMPARE(d->btnGravar->accessibleDescription(), u"Gravar os Dados"_s);
        QVERIFY(d->btnCancelar->x() < d->btnGravar->x());
        QCOMPARE(d->dbContaAtiva->text(), u"Conta Ativa"_s);
        QCOMPARE(d->dbCedente->count(), 2);
        QCOMPARE(d->dbCedente->itemText(1), u"Beta"_s);
        QVERIFY(d->dbTipo->isEditable());
        QCOMPARE(d->dbTipo->count(), 2);
        QCOMPARE(d->dbTipo->itemText(0), u"CORRENTE"_s);
        QCOMPARE(d->dbTipo->itemText(1), u"POUPANCA"_s);
        const struct
        {
            DBEdit* edit;
            int size;
            bool readOnly;
        } edits[] = {
            {d->dbIDCedente, 20, true},        {d->dbCodBanco, 3, false},
            {d->dbAgencia, 4, false},          {d->dbAgenciaDV, 1, false},
            {d->dbNumConta, 20, false},        {d->dbNumContaDV, 1, false},
            {d->dbCodBeneficiario, 10, false}, {d->dbCedenteCNPJ, 14, true},
            {d->dbContaID, 20, true},          {d->dbStatus, 15, true},
            {d->dbDataCriado, 20, true},       {d->dbDataAtualizado, 20, true},
        };
        for (const auto& e : edits) {
            QCOMPARE(e.edit->maxLength(), 2 * e.size); // UTF-16 units: room for emoji
            QVERIFY2(e.edit->isReadOnly() == e.readOnly, qPrintable(e.edit->objectName()));
        }
        QWidget* order[] = {d->dbCedente,         d->dbIDCedente,      d->dbCodBanco,
                            d->dbAgencia,         d->dbAgenciaDV,      d->dbNumConta,
                            d->dbNumContaDV,      d->dbContaAtiva,     d->dbTipo,
                            d->dbCodBeneficiario, d->dbContaID,        d->dbStatus,
                            d->dbDataCriado,      d->dbDataAtualizado, d->dbCedenteCNPJ,
                            d->btnGravar,         d->btnCancelar};
        for (size_t i = 0; i + 1 < std::size(order); ++i) {
            order[i]->setFocus(Qt::TabFocusReason);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* now = QApplication::focusWidget();
            // The drop-down edit's focus rests on its line edit.
            QVERIFY2(now == order[i + 1] || order[i + 1]->isAncestorOf(now),
                     qPrintable(order[i]->objectName()));
        }
        // Every field is named by its label.
        const std::pair<QString, QWidget*> labels[] = {
            {u"Código"_s, d->dbCodigo},
            {u"Cedente"_s, d->dbCedente},
            {u"ID Cedente"_s, d->dbIDCedente},
            {u"Código Banco"_s, d->dbCodBanco},
            {u"Agência"_s, d->dbAgencia},
            {u"Agência DV"_s, d->dbAgenciaDV},
            {u"Número Conta"_s, d->dbNumConta},
            {u"Número Conta DV"_s, d->dbNumContaDV},
            {u"Tipo Conta"_s, d->dbTipo},
            {u"Código do Beneficiário"_s, d->dbCodBeneficiario},
            {u"CNPJ Cedente"_s, d->dbCedenteCNPJ},
            {u"ID Conta"_s, d->dbContaID},
            {u"Status"_s, d->dbStatus},
            {u"Data Criado"_s, d->dbDataCriado},
            {u"Data Atualizado"_s, d->dbDataAtualizado},
        };
        for (const auto& [text, control] : labels) {
            bool found = false;
            for (QLabel* l : d->findChildren<QLabel*>())
                found = found || (l->text() == text && l->buddy() == control);
            QVERIFY2(found, qPrintable(text));
        }
        // Fits a 1366x768 screen.
        QVERIFY(d->width() <= 1366 && d->height() <= 700);
        checked = true;
        d->btnCancelar->click();
    });
    m_frm->btnIncluir->click();
    QVERIFY(checked);
}

void TestConta::selectorStoresTheBeneficiaryAndItsIdentifier()
{
    insertCedente(1, u"Alfa"_s, u"11111111000111"_s, u"ID-ALFA"_s);
    insertCedente(2, u"Beta"_s, u"22222222000122"_s, u"ID-BETA"_s);
    insertCedente(3, u"Gama"_s, u"33333333000133"_s, {}); // not registered
    insertConta(u"BCOCODIGO, BCOCONTACODIGOBANCO, BCOCONTAAGENCIA, BCOCONTANUMERO, "
                u"BCOCONTACODBENEFICIARIO, BCECNPJ, BCEIDCEDENTE"_s,
                u"1, '001', '1234', '5678', '9', '22222222000122', 'antigo'"_s);
    openList();
    QCOMPARE(m_dm->qrBoletoCedente->RecNo(), 0);
    onModal([&](QWidget* modal) {
        TfrmContaDados* d = dataWindow(modal);
        QVERIFY(d);
        // Opened on an account of Beta: the beneficiaries stand on Beta.
        QCOMPARE(d->dbCedente->currentText(), u"Beta"_s);
        QCOMPARE(m_dm->qrBoletoCedente->RecNo(), 1);
        QCOMPARE(d->dbIDCedente->text(), u"antigo"_s);
        // Tabbing through without a change looks the identifier up again.
        QTest::keyClick(d->dbCedente, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), d->dbIDCedente);
        QCOMPARE(d->dbIDCedente->text(), u"ID-BETA"_s);

        d->dbCedente->setFocus();
        QTest::keyClick(d->dbCedente, Qt::Key_Down); // Gama
        QCOMPARE(d->dbCedenteCNPJ->text(), u"33333333000133"_s);
        QCOMPARE(m_dm->qrBoletoCedente->RecNo(), 2);
        QCOMPARE(d->dbIDCedente->text(), u"ID-BETA"_s); // until the selector is left
        QTest::keyClick(d->dbCedente, Qt::Key_Tab);
        QCOMPARE(d->dbIDCedente->text(), QString()); // Gama has none

        d->dbCedente->setFocus();
        QTest::keyClick(d->dbCedente, Qt::Key_Home); // Alfa
        // Saving with the accelerator leaves the focus in the selector: the
        // identifier is not looked up again.
        QPointer<TfrmContaDados> window = d;
        QTest::keyClick(d, Qt::Key_G, Qt::AltModifier);
        QTRY_VERIFY(!window || !window->isVisible());
    });
    m_frm->btnAltera->click();
    QTRY_VERIFY(!frmContaDados);
    QCOMPARE(m_dm->qrBoletoConta->State(), dsBrowse);
    QCOMPARE(column(u"BCECNPJ"_s), u"11111111000111"_s);
    QCOMPARE(column(u"BCEIDCEDENTE"_s), QString()); // Gama's, the last looked up
}

void TestConta::selectorWithAnApostropheInTheCnpj()
{
    insertCedente(1, u"Alfa"_s, u"11111111000111"_s, u"ID-ALFA"_s);
    insertCedente(2, u"D'Ávila"_s, u"12'45678000195"_s, u"ID-DAVILA"_s);
    insertConta(u"BCOCODIGO, BCECNPJ"_s, u"1, '11111111000111'"_s);
    openList();
    onModal([&](QWidget* modal) {
        TfrmContaDados* d = dataWindow(modal);
        QVERIFY(d);
        QTest::keyClick(d->dbCedente, Qt::Key_Down);
        QCOMPARE(d->dbCedente->currentText(), u"D'Ávila"_s);
        QTest::keyClick(d->dbCedente, Qt::Key_Tab);
        QCOMPARE(d->dbIDCedente->text(), u"ID-DAVILA"_s);
        QVERIFY(!m_dm->qrAux->SQL().contains(u"12'45"_s)); // a parameter, not SQL text
        d->btnGravar->click();                             // refused: the bank fields are empty
        d->btnCancelar->click();
    });
    m_dialogs->expectNotice(bankShort);
    m_frm->btnAltera->click();
    QCOMPARE(column(u"BCECNPJ"_s), u"11111111000111"_s);
}

void TestConta::selectorWithTwoBeneficiariesSharingACnpj()
{
    insertCedente(1, u"Alfa"_s, u"11111111000111"_s, u"ID-ALFA"_s);
    insertCedente(2, u"Beta"_s, u"22222222000122"_s, u"ID-BETA-1"_s);
    insertCedente(3, u"Beta outra"_s, u"22222222000122"_s, u"ID-BETA-2"_s);
    insertConta(u"BCOCODIGO, BCECNPJ"_s, u"1, '11111111000111'"_s);
    openList();
    onModal([&](QWidget* modal) {
        TfrmContaDados* d = dataWindow(modal);
        QVERIFY(d);
        QTest::keyClick(d->dbCedente, Qt::Key_End); // the second of the two
        QCOMPARE(m_dm->qrBoletoContaBCECNPJ->AsString(), u"22222222000122"_s);
        // Shown and positioned: the first of them, whose identifier is stored.
        QCOMPARE(d->dbCedente->currentText(), u"Beta"_s);
        QCOMPARE(m_dm->qrBoletoCedente->RecNo(), 1);
        QTest::keyClick(d->dbCedente, Qt::Key_Tab);
        QCOMPARE(d->dbIDCedente->text(), u"ID-BETA-1"_s);
        d->btnCancelar->click();
    });
    m_frm->btnAltera->click();
}

void TestConta::leavingAnEmptySelectorLooksNothingUp()
{
    insertCedente(1, u"Alfa"_s, u"11111111000111"_s, u"ID-ALFA"_s);
    // An account without beneficiary that still carries an identifier.
    insertConta(u"BCOCODIGO, BCEIDCEDENTE"_s, u"1, 'guardado'"_s);
    openList();
    m_dm->qrAux->Close();
    m_dm->qrAux->SetSQL(untouched);
    for (QToolButton* button : {m_frm->btnAltera, m_frm->btnIncluir}) {
        onModal([&](QWidget* modal) {
            TfrmContaDados* d = dataWindow(modal);
            QVERIFY(d);
            const QString before = d->dbIDCedente->text();
            QCOMPARE(QApplication::focusWidget(), d->dbCedente);
            QTest::keyClick(d->dbCedente, Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), d->dbIDCedente);
            QCOMPARE(d->dbIDCedente->text(), before);
            QCOMPARE(m_dm->qrAux->SQL(), untouched);
            d->btnCancelar->click();
        });
        button->click(); // any message would fail the test
    }
    QCOMPARE(column(u"BCEIDCEDENTE"_s), u"guardado"_s);
}

void TestConta::ctrlDeleteRemovesOnlyTheAccount_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("Yes") << true;
    QTest::newRow("No") << false;
}

void TestConta::ctrlDeleteRemovesOnlyTheAccount()
{
    QFETCH(bool, answer);
    insertCedente(1, u"Alfa"_s, u"11111111000111"_s, {});
    insertConta(u"BCOCODIGO, BCOCONTAID"_s, u"1, '10'"_s);
    insertConta(u"BCOCODIGO, BCOCONTAID"_s, u"2, '20'"_s);
    m_admin.execute(u"insert into BoletoConvenio (BCVCODIGO, BCOCONTAID) values (1, '20')"_s, {});
    openList();
    m_dm->qrBoletoConta->Last();
    m_frm->RxDBGrid1->setFocus();
    m_dialogs->expectQuestion(u"Confirm"_s, u"Delete record?"_s, answer);
    QTest::keyClick(m_frm->RxDBGrid1, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(count(u"select count(*) from BoletoConta"_s), answer ? 1 : 2);
    QCOMPARE(count(u"select count(*) from BoletoConta where BCOCODIGO = 2"_s), answer ? 0 : 1);
    QCOMPARE(m_frm->RxDBGrid1->model()->rowCount(), answer ? 1 : 2);
    QCOMPARE(count(u"select count(*) from BoletoConvenio"_s), 1);
}

void TestConta::closingTheListClosesItsRecordSets()
{
    insertCedente(1, u"Alfa"_s, u"11111111000111"_s, {});
    openList();
    QCOMPARE(m_dm->qrBoletoConta->State(), dsBrowse);
    m_frm->btnSair->click();
    QCOMPARE(m_dm->qrEmpresa->State(), dsInactive);
    QCOMPARE(m_dm->qrBoletoCedente->State(), dsInactive);
    QCOMPARE(m_dm->qrBoletoConta->State(), dsInactive);
}

QTEST_MAIN(TestConta)
#include "tst_conta.moc"
