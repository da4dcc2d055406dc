// The beneficiary windows driven as a user would, against a real database.
#include "dbedit.h"
#include "dbgrid.h"
#include "scripteddialogs.h"
#include "testserver.h"
#include "untCedente.h"
#include "untCedenteDados.h"
#include "untDM.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace Qt::StringLiterals;

namespace {
const QString copied =
    u"Cedente copiado com Sucesso.\r\rRevise e complete os dados antes de enviar para a Plataforma."_s;
const QString alreadyCopied = u"Esta Empresa já foi Copiada para o Cadastro de Cedentes."_s;

// Where Tab goes from a widget: the next one in the focus chain that takes
// the focus by Tab.
QWidget* nextTabStop(QWidget* w)
{
    for (QWidget* n = w->nextInFocusChain(); n && n != w; n = n->nextInFocusChain())
        if ((n->focusPolicy() & Qt::TabFocus) && n->isVisibleTo(w->window()) && n->isEnabled())
            return n;
    return nullptr;
}
} // namespace

class TestCedente : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void listWindowLayout();
    void copyCleansTheCnpjAndCutsLongTexts();
    void copyOfATaxNumberLongerThanTheColumn();
    void copyingTheSameCompanyTwiceAddsNothing();
    void cleanCnpj_data();
    void cleanCnpj();
    void alterOnAnEmptyList_data();
    void alterOnAnEmptyList();
    void alterSavesOrDiscards();
    void dataWindowLayout();
    void ctrlDeleteInTheBeneficiaryGridOnly_data();
    void ctrlDeleteInTheBeneficiaryGridOnly();
    void closingTheListClosesItsRecordSets();

private:
    int count(const QString& select);
    QString text(const QString& select);
    void selectCompany(int codigo);

    TestServer m_server;
    QString m_path;
    Connection m_admin;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<Tdm> m_dm;
    std::unique_ptr<QWidget> m_main; // stands in for the main window
    TfrmCedente* m_frm = nullptr;
};

void TestCedente::initTestCase()
{
    if (!TestServer::available())
        return;
    m_server = TestServer::fromEnvironment();
    m_path = m_server.createDatabase(m_admin, u"cedente"_s);
    m_admin.executeScript(readTextFile(sourcePath(u"data/demo.sql"_s)));
    m_admin.execute(
        u"insert into Empresa (CODIGO, NOME, CNPJ, CEP, TELEFONE, ENDERECO) "
        u"values (4, 'Quatro', '44.444.444/0001-44', '12345-678', '123456789012', 'Rua')"_s,
        {});
    // A blank inside: cleaned, it is one character longer than the column.
    m_admin.execute(
        u"insert into Empresa (CODIGO, NOME, CNPJ) values (5, 'Cinco', '55 555.555/0001-55')"_s,
        {});
}

void TestCedente::init()
{
    REQUIRE_TEST_SERVER();
    m_admin.execute(u"delete from BoletoCedente"_s, {});
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_dm = std::make_unique<Tdm>(m_dialogs.get());
    m_server.useDatabase(*m_dm, m_path);
    m_main = std::make_unique<QWidget>();
    m_frm = new TfrmCedente(m_main.get());
    m_main->resize(1100, 700);
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
}

void TestCedente::cleanup()
{
    if (m_dialogs)
        VERIFY_DIALOGS(*m_dialogs);
    m_main.reset();
    m_dm.reset();
    m_dialogs.reset();
}

int TestCedente::count(const QString& select)
{
    return queryNumber(m_admin, select);
}

QString TestCedente::text(const QString& select)
{
    return queryText(m_admin, select);
}

void TestCedente::selectCompany(int codigo)
{
    RecordSet* empresa = m_dm->qrEmpresa;
    for (int row = 0; row < empresa->RecordCount(); ++row) {
        empresa->SetRecNo(row);
        if (m_dm->qrEmpresaCODIGO->AsInteger() == codigo)
            return;
    }
    QFAIL("no such company");
}

void TestCedente::listWindowLayout()
{
    QCOMPARE(m_frm->windowTitle(), u"Controle de Cedente"_s);
    const struct
    {
        QToolButton* button;
        QString caption, hint;
    } buttons[] = {
        {m_frm->btnSair, u"&Sair"_s, u"Sair do Controle de Cedente"_s},
        {m_frm->btnAltera, u"&Alterar Dados"_s, u"Alterar Dados do Cedente Selecionado"_s},
        {m_frm->btnRegistrar, u"&Registrar Cedente"_s, u"Registrar o Cedente no Sistema da API"_s},
        {m_frm->btnAPIAlterar, u"&Atualizar Cedente"_s,
         u"Alterar dados do Cedente no Sistema da API"_s},
        {m_frm->btnCopiar, u"&Copiar"_s,
         u"Copiar os Dados do Cadastro da Empresa Selecionada para o Cedente"_s},
    };
    for (const auto& b : buttons) {
        QCOMPARE(b.button->text(), b.caption);
        QCOMPARE(b.button->accessibleDescription(), b.hint);
        QCOMPARE(b.button->toolTip(), QString());
        QCOMPARE(b.button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        QVERIFY(!b.button->icon().isNull());
    }
    QCOMPARE(m_frm->panelBotoes->text(), u"CEDENTE"_s);
    QCOMPARE(m_frm->RxDBGrid1->accessibleName(), u"CEDENTE"_s);
    QCOMPARE(m_frm->RxDBGrid2->accessibleName(), u"EMPRESA"_s);
    QAbstractItemModel* cedentes = m_frm->RxDBGrid1->model();
    QCOMPARE(cedentes->columnCount(), 26);
    QCOMPARE(cedentes->headerData(0, Qt::Horizontal).toString(), u"Código"_s);
    QCOMPARE(cedentes->headerData(1, Qt::Horizontal).toString(), u"ID Cedente"_s);
    QCOMPARE(cedentes->headerData(7, Qt::Horizontal).toString(), u"Vencimento Certificado"_s);
    QCOMPARE(cedentes->headerData(25, Qt::Horizontal).toString(), u"Certificado"_s);
    QAbstractItemModel* empresas = m_frm->RxDBGrid2->model();
    QCOMPARE(empresas->columnCount(), 12);
    QCOMPARE(empresas->headerData(0, Qt::Horizontal).toString(), u"CNPJ"_s); // no label
    QCOMPARE(empresas->headerData(1, Qt::Horizontal).toString(), u"Razão Social"_s);
    QCOMPARE(empresas->headerData(11, Qt::Horizontal).toString(), u"Telefone"_s);
    // Shown: both record sets read anew.
    QCOMPARE(m_dm->qrEmpresa->State(), dsBrowse);
    QCOMPARE(m_dm->qrEmpresa->RecordCount(), 5);
    QCOMPARE(m_dm->qrBoletoCedente->State(), dsBrowse);
}

void TestCedente::copyCleansTheCnpjAndCutsLongTexts()
{
    selectCompany(1);
    m_dialogs->expectNotice(copied);
    m_frm->btnCopiar->click();
    QCOMPARE(count(u"select count(*) from BoletoCedente"_s), 1);
    const QString where = u" from BoletoCedente where BCECODIGO = 1"_s;
    QCOMPARE(text(u"select BCECNPJ"_s + where), u"12345678000195"_s);
    QCOMPARE(text(u"select BCERAZAO"_s + where), u"Padaria Pão de Açúcar Ltda"_s);
    QCOMPARE(text(u"select BCEFANTASIA"_s + where), u"Pão de Açúcar"_s);
    QCOMPARE(text(u"select BCELOGRADOURO"_s + where), u"Rua das Laranjeiras"_s);
    QCOMPARE(text(u"select BCENUMERO"_s + where), u"120"_s);
    QCOMPARE(text(u"select BCECOMPLEMENTO"_s + where), u"Loja 2"_s);
    QCOMPARE(text(u"select BCEBAIRRO"_s + where), u"Centro"_s);
    QCOMPARE(text(u"select BCECEP"_s + where), u"01010-00"_s);
    QCOMPARE(text(u"select BCECODIBGECIDADE"_s + where), u"3550308"_s);
    QCOMPARE(text(u"select BCETELEFONE"_s + where), u"(11) 3456-7"_s);
    QCOMPARE(text(u"select BCEEMAIL"_s + where), u"contato@paodeacucar.example"_s);
    for (const char* platform : {"BCEIDCEDENTE", "BCETOKEN", "BCEDATACRIADO", "BCESITUACAO",
                                 "BCECERTIFICADO", "BCEVENCIMENTOCERTIFICADO"})
        QCOMPARE(text(u"select "_s + QLatin1String(platform) + where), u"<null>"_s);
    // The new beneficiary is the current row, selected in the grid.
    QCOMPARE(m_dm->qrBoletoCedente->State(), dsBrowse);
    QCOMPARE(m_dm->qrBoletoCedenteBCECODIGO->AsInteger(), 1);
    QCOMPARE(m_frm->RxDBGrid1->currentIndex().row(), m_dm->qrBoletoCedente->RecNo());

    selectCompany(4);
    m_dialogs->expectNotice(copied);
    m_frm->btnCopiar->click();
    const QString four = u" from BoletoCedente where BCECODIGO = 2"_s;
    QCOMPARE(text(u"select BCECNPJ"_s + four), u"44444444000144"_s);
    QCOMPARE(text(u"select BCECEP"_s + four), u"12345-67"_s);
    QCOMPARE(text(u"select BCETELEFONE"_s + four), u"12345678901"_s);
    // A company column without value reads as "" and is copied as "".
    QCOMPARE(text(u"select BCEFANTASIA"_s + four), QString());
}

void TestCedente::copyOfATaxNumberLongerThanTheColumn()
{
    selectCompany(5);
    m_dialogs->expectNotice(copied);
    m_frm->btnCopiar->click();
    QCOMPARE(text(u"select BCECNPJ from BoletoCedente"_s), u"55 55555500015"_s);
    // Copying it again finds the beneficiary by what was stored.
    m_dialogs->expectNotice(alreadyCopied);
    m_frm->btnCopiar->click();
    QCOMPARE(count(u"select count(*) from BoletoCedente"_s), 1);
}

void TestCedente::copyingTheSameCompanyTwiceAddsNothing()
{
    selectCompany(2);
    m_dialogs->expectNotice(copied);
    m_frm->btnCopiar->click();
    QCOMPARE(text(u"select BCERAZAO from BoletoCedente"_s), u"Ferragens Irmãos D'Ávila S.A."_s);
    m_dialogs->expectNotice(alreadyCopied);
    m_frm->btnCopiar->click();
    QCOMPARE(count(u"select count(*) from BoletoCedente"_s), 1);
    QCOMPARE(m_dm->qrBoletoCedente->RecordCount(), 1);
    QCOMPARE(m_dm->qrBoletoCedente->State(), dsBrowse);

    // Two beneficiaries with that CNPJ (made by editing) stop it as well.
    m_admin.execute(
        u"insert into BoletoCedente (BCECODIGO, BCECNPJ) values (9, '98765432000110')"_s, {});
    m_dialogs->expectNotice(alreadyCopied);
    m_frm->btnCopiar->click();
    QCOMPARE(count(u"select count(*) from BoletoCedente"_s), 2);
}

void TestCedente::cleanCnpj_data()
{
    QTest::addColumn<QString>("cnpj");
    QTest::addColumn<QString>("clean");
    QTest::newRow("punctuation") << "12.345.678/0001-95"
                                 << "12345678000195";
    QTest::newRow("blanks and tabs at the ends") << " \t12.345.678/0001-95\r\n"
                                                 << "12345678000195";
    QTest::newRow("blank inside stays") << "12 345.678/0001-95"
                                        << "12 345678000195";
    QTest::newRow("digits only") << "12345678000195"
                                 << "12345678000195";
    QTest::newRow("empty") << ""
                           << "";
}

void TestCedente::cleanCnpj()
{
    QFETCH(QString, cnpj);
    QTEST(::cleanCnpj(cnpj), "clean");
}

void TestCedente::alterOnAnEmptyList_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("rows");
    QTest::newRow("Gravar") << "save" << 1;
    QTest::newRow("Cancelar") << "cancel" << 0;
    QTest::newRow("close box") << "close" << 0;
    QTest::newRow("Esc") << "esc" << 0;
}

void TestCedente::alterOnAnEmptyList()
{
    QFETCH(QString, how);
    QFETCH(int, rows);
    QCOMPARE(m_dm->qrBoletoCedente->RecordCount(), 0);
    onModal([&](QWidget* modal) {
        auto* dados = qobject_cast<TfrmCedenteDados*>(modal);
        QVERIFY(dados);
        QCOMPARE(m_dm->qrBoletoCedente->State(), dsInsert);
        QTest::keyClicks(dados->dbRazao, u"Nova Razao"_s); // the CNPJ stays empty
        if (how == u"save")
            dados->btnGravar->click();
        else if (how == u"cancel")
            dados->btnCancelar->click();
        else if (how == u"esc")
            QTest::keyClick(dados->dbRazao, Qt::Key_Escape);
        else
            dados->close();
    });
    m_frm->btnAltera->click();
    QCOMPARE(m_dm->qrBoletoCedente->State(), dsBrowse);
    QCOMPARE(count(u"select count(*) from BoletoCedente"_s), rows);
    QCOMPARE(m_dm->qrBoletoCedente->RecordCount(), rows);
    QCOMPARE(m_frm->RxDBGrid1->model()->rowCount(), rows);
    if (rows) {
        QCOMPARE(text(u"select BCERAZAO from BoletoCedente where BCECODIGO = 1"_s),
                 u"Nova Razao"_s);
        QCOMPARE(text(u"select BCECNPJ from BoletoCedente where BCECODIGO = 1"_s), u"<null>"_s);
    }
}

void TestCedente::alterSavesOrDiscards()
{
    m_admin.execute(u"insert into BoletoCedente (BCECODIGO, BCERAZAO) values (1, 'um')"_s, {});
    m_admin.execute(u"insert into BoletoCedente (BCECODIGO, BCERAZAO) values (2, 'dois')"_s, {});
    m_dm->qrBoletoCedente->Close();
    m_dm->qrBoletoCedente->Open();
    m_dm->qrBoletoCedente->SetRecNo(1);

    onModal([&](QWidget* modal) {
        auto* dados = qobject_cast<TfrmCedenteDados*>(modal);
        QCOMPARE(dados->dbRazao->text(), u"dois"_s);
        QCOMPARE(dados->dbCodigo->text(), u"2"_s);
        dados->dbRazao->selectAll();
        QTest::keyClicks(dados->dbRazao, u"dois alterado"_s);
        QTest::keyClick(dados->dbRazao, Qt::Key_Escape);
    });
    m_frm->btnAltera->click();
    QCOMPARE(m_dm->qrBoletoCedenteBCERAZAO->AsString(), u"dois"_s);
    QCOMPARE(text(u"select BCERAZAO from BoletoCedente where BCECODIGO = 2"_s), u"dois"_s);

    onModal([&](QWidget* modal) {
        auto* dados = qobject_cast<TfrmCedenteDados*>(modal);
        dados->dbRazao->selectAll();
        QTest::keyClicks(dados->dbRazao, u"dois alterado"_s);
        dados->btnGravar->click();
    });
    m_frm->btnAltera->click();
    QCOMPARE(text(u"select BCERAZAO from BoletoCedente where BCECODIGO = 2"_s), u"dois alterado"_s);
    QCOMPARE(m_frm->RxDBGrid1->model()->index(1, 8).data().toString(), u"dois alterado"_s);
    QCOMPARE(count(u"select count(*) from BoletoCedente"_s), 2);
}

void TestCedente::dataWindowLayout()
{
    bool checked = false;
    onModal([&](QWidget* modal) {
        auto* d = qobject_cast<TfrmCedenteDados*>(modal);
        QVERIFY(d);
        QCOMPARE(d->windowTitle(), u"Dados do Cedente"_s);
        QVERIFY(d->btnGravar->isVisible());
        QCOMPARE(d->focusWidget(), d->dbCNPJ);
        QCOMPARE(d->btnCancelar->text(), u"   &Cancelar"_s);
        QCOMPARE(d->btnGravar->text(), u"   &Gravar"_s);
        QCOMPARE(d->dbCNPJ->maxLength(), 2 * 14); // UTF-16 units: room for emoji
        QCOMPARE(d->dbRazao->maxLength(), 2 * 200);
        for (DBEdit* readOnly :
             {d->DBEdit12, d->dbSituacao, d->dbDataCriado, d->dbDataAtualizado, d->dbTOKEN,
              d->dbTOKENeSales, d->dbConfigEmail, d->dbConfigNotificacao, d->dbMotivoInativacao,
              d->dbDataAtivacao, d->dbDataInativacao, d->dbVencimentoCertificado})
            QVERIFY2(readOnly->isReadOnly(), qPrintable(readOnly->objectName()));
        for (DBEdit* editable : {d->dbCNPJ, d->dbRazao, d->dbFantasia, d->dbLogradouro, d->dbNumero,
                                 d->dbComplemento, d->dbBairro, d->dbCEP, d->dbCodIBGECidade,
                                 d->dbTelefone, d->dbEmail, d->dbCertificado})
            QVERIFY2(!editable->isReadOnly(), qPrintable(editable->objectName()));
        // Tab order: Razão Social, Nome Fantasia, CNPJ, ... Certificado,
        // Vencimento Certificado, Gravar, Cancelar.
        QWidget* order[] = {d->dbRazao,
                            d->dbFantasia,
                            d->dbCNPJ,
                            d->dbLogradouro,
                            d->dbNumero,
                            d->dbComplemento,
                            d->dbBairro,
                            d->dbCEP,
                            d->dbCodIBGECidade,
                            d->dbTelefone,
                            d->dbEmail,
                            d->DBEdit12,
                            d->dbDataCriado,
                            d->dbDataAtualizado,
                            d->dbTOKEN,
                            d->dbTOKENeSales,
                            d->dbSituacao,
                            d->dbConfigEmail,
                            d->dbConfigNotificacao,
                            d->dbMotivoInativacao,
                            d->dbDataAtivacao,
                            d->dbDataInativacao,
                            d->dbCertificado,
                            d->dbVencimentoCertificado,
                            d->btnGravar,
                            d->btnCancelar};
        for (size_t i = 0; i + 1 < std::size(order); ++i)
            QCOMPARE(nextTabStop(order[i]), order[i + 1]);
        // Labels name their edits.
        bool telefoneLabelled = false;
        for (QLabel* l : d->findChildren<QLabel*>())
            telefoneLabelled =
                telefoneLabelled || (l->buddy() == d->dbTelefone && l->text() == u"Telefone");
        QVERIFY(telefoneLabelled);
        checked = true;
        d->btnCancelar->click();
    });
    m_frm->btnAltera->click();
    QVERIFY(checked);
    QVERIFY(frmCedenteDados);
    QVERIFY(!frmCedenteDados->isVisible()); // hidden, kept
}

void TestCedente::ctrlDeleteInTheBeneficiaryGridOnly_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("Yes") << true;
    QTest::newRow("No") << false;
}

void TestCedente::ctrlDeleteInTheBeneficiaryGridOnly()
{
    QFETCH(bool, answer);
    m_admin.execute(
        u"insert into BoletoCedente (BCECODIGO, BCEIDCEDENTE) values (1, 'registrado')"_s, {});
    m_dm->qrBoletoCedente->Close();
    m_dm->qrBoletoCedente->Open();
    m_frm->RxDBGrid1->setFocus();
    m_dialogs->expectQuestion(u"Confirm"_s, u"Delete record?"_s, answer);
    QTest::keyClick(m_frm->RxDBGrid1, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(count(u"select count(*) from BoletoCedente"_s), answer ? 0 : 1);
    QCOMPARE(m_frm->RxDBGrid1->model()->rowCount(), answer ? 0 : 1);

    // The company grid never deletes: no question, no change.
    m_frm->RxDBGrid2->setFocus();
    QTest::keyClick(m_frm->RxDBGrid2, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(count(u"select count(*) from Empresa"_s), 5);
}

void TestCedente::closingTheListClosesItsRecordSets()
{
    m_frm->btnSair->click();
    QCOMPARE(m_dm->qrEmpresa->State(), dsInactive);
    QCOMPARE(m_dm->qrBoletoCedente->State(), dsInactive);
}

QTEST_MAIN(TestCedente)
#include "tst_cedente.moc"
