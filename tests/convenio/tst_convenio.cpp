// The agreement windows driven as a user would, against a real database.
#include "dbcheckbox.h"
#include "dbcombobox.h"
#include "dbedit.h"
#include "dbgrid.h"
#include "scripteddialogs.h"
#include "testserver.h"
#include "untConvenio.h"
#include "untConvenioDados.h"
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
const QString noAccount = u"Cadastre pelo menos uma conta para cadastrar um Cedente."_s;
const QString noAgreement = u"Selecione um Convênio para editar."_s;

TfrmConvenioDados* dataWindow(QWidget* modal)
{
    auto* d = qobject_cast<TfrmConvenioDados*>(modal);
    if (d) {
        d->activateWindow();
        if (!QTest::qWaitFor([d] { return QGuiApplication::focusWindow() == d->windowHandle(); }))
            qWarning("the data-entry window did not become active");
    }
    return d;
}

// Types into the line of an editable drop-down list, replacing its text.
void retypeList(DBComboBox* list, const QString& text)
{
    list->setFocus();
    list->lineEdit()->selectAll();
    QTest::keyClicks(list->lineEdit(), text);
}

void retype(QLineEdit* edit, const QString& text)
{
    edit->setFocus();
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    else
        QTest::keyClicks(edit, text);
}

// Clicks a data cell of a grid, as the mouse would.
void clickCell(DBGrid* grid, int row, int column)
{
    const QRect cell = grid->visualRect(grid->model()->index(row, column));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}
} // namespace

class TestConvenio : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void listWindowLayout();
    void withoutAccountTheWindowClosesItself();
    void accountWithoutAgreements();
    void includeStoresTheDefaultsAndWhatIsTyped();
    void cancellingAnIncludeStoresNothing_data();
    void cancellingAnIncludeStoresNothing();
    void dataWindowLayout();
    void cnabRuleOnChoosing();
    void cnabRuleOnTyping();
    void alterOpensWithStoredValuesWhateverTheStandard();
    void walletCodeOutsideTheList();
    void agreementsFollowTheCurrentAccount_data();
    void agreementsFollowTheCurrentAccount();
    void ctrlDeleteInTheAgreementsGrid_data();
    void ctrlDeleteInTheAgreementsGrid();
    void ctrlDeleteInTheAccountsGridDoesNothing();
    void closingTheListClosesItsRecordSets();

private:
    void openList();
    void insertConta(int codigo, const QString& contaId);
    void insertConvenio(const QString& columns, const QString& values);
    QString column(const QString& name, int codigo = 1);
    int count(const QString& select);

    TestServer m_server;
    QString m_path;
    Connection m_admin;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<Tdm> m_dm;
    std::unique_ptr<QWidget> m_main; // stands in for the main window
    QPointer<TfrmConvenio> m_frm;
};

void TestConvenio::initTestCase()
{
    if (!TestServer::available())
        return;
    m_server = TestServer::fromEnvironment();
    m_path = m_server.createDatabase(m_admin, u"convenio"_s);
    m_admin.executeScript(readTextFile(sourcePath(u"data/demo.sql"_s)));
}

void TestConvenio::init()
{
    REQUIRE_TEST_SERVER();
    m_admin.execute(u"delete from BoletoConvenio"_s, {});
    m_admin.execute(u"delete from BoletoConta"_s, {});
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_dm = std::make_unique<Tdm>(m_dialogs.get());
    m_server.useDatabase(*m_dm, m_path);
    m_main = std::make_unique<QWidget>();
    m_main->resize(1200, 700);
}

void TestConvenio::cleanup()
{
    if (m_dialogs)
        VERIFY_DIALOGS(*m_dialogs);
    m_main.reset();
    m_dm.reset();
    m_dialogs.reset();
}

// Opens the list over what the tables hold now.
void TestConvenio::openList()
{
    m_frm = new TfrmConvenio(m_main.get());
    m_frm->resize(m_main->size());
    m_main->show();
    QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
}

void TestConvenio::insertConta(int codigo, const QString& contaId)
{
    m_admin.execute(u"insert into BoletoConta (BCOCODIGO, BCOCONTAID, BCOCONTACODIGOBANCO) "
                    u"values (?, ?, '237')"_s,
                    {SqlValue::fromInteger(codigo),
                     contaId.isNull() ? SqlValue::null() : SqlValue::fromText(contaId)});
}

void TestConvenio::insertConvenio(const QString& columns, const QString& values)
{
    m_admin.execute(u"insert into BoletoConvenio ("_s + columns + u") values ("_s + values + u")"_s,
                    {});
}

QString TestConvenio::column(const QString& name, int codigo)
{
    return queryText(m_admin, u"select "_s + name + u" from BoletoConvenio where BCVCODIGO = ?"_s,
                     {SqlValue::fromInteger(codigo)});
}

int TestConvenio::count(const QString& select)
{
    return queryNumber(m_admin, select);
}

void TestConvenio::listWindowLayout()
{
    insertConta(1, u"10"_s);
    insertConta(2, u"20"_s);
    insertConvenio(u"BCVCODIGO, BCOCONTAID, BCVCONVENIONUMERO, BCVCONVENIODATACRIADO"_s,
                   u"1, '10', 'N-10', 'ontem'"_s);
    insertConvenio(u"BCVCODIGO, BCOCONTAID, BCVCONVENIONUMERO"_s, u"2, '20', 'N-20'"_s);
    openList();
    QCOMPARE(m_frm->windowTitle(), u"Controle de Convênios"_s);
    const struct
    {
        QToolButton* button;
        QString caption;
    } buttons[] = {
        {m_frm->btnSair, u"&Sair"_s},
        {m_frm->btnIncluir, u"&Incluir"_s},
        {m_frm->btnAltera, u"&Alterar"_s},
        {m_frm->btnAPIRegistrar, u"&Registrar Convênio"_s},
        {m_frm->btnAPIAlterar, u"&Atualizar Convênio"_s},
    };
    int left = -1;
    for (const auto& b : buttons) {
        QCOMPARE(b.button->text(), b.caption);
        QCOMPARE(b.button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        QVERIFY(!b.button->icon().isNull());
        QVERIFY(b.button->isVisible());
        const int x = b.button->mapTo(m_frm, QPoint()).x();
        QVERIFY2(x > left, qPrintable(b.caption)); // left to right
        left = x;
    }
    QCOMPARE(m_frm->btnInativar->text(), u"I&nativar"_s);
    QVERIFY(!m_frm->btnInativar->isVisible());
    QVERIFY(!m_frm->btnInativar->isEnabled());
    for (QToolButton* wide : {m_frm->btnAPIRegistrar, m_frm->btnAPIAlterar})
        QVERIFY(wide->width() >= 2 * m_frm->btnIncluir->width());

    QCOMPARE(m_frm->panelBotoes->text(), u"CONVÊNIO"_s);
    QCOMPARE(m_frm->lblCedente->text(), u"CONTA"_s);
    QVERIFY(m_frm->lblCedente->mapTo(m_frm, QPoint()).x() < m_frm->width() / 4);
    // Accounts, spacer, agreements from left to right; the agreements
    // take what is left.
    QVERIFY(m_frm->RxDBGrid2->x() < m_frm->Panel2->x());
    QVERIFY(m_frm->Panel2->x() < m_frm->RxDBGrid1->x());
    QVERIFY(m_frm->RxDBGrid1->width() > m_frm->RxDBGrid2->width());

    const QStringList accountTitles = {u"ID Conta"_s,      u"ID Cedente"_s,   u"Cód. Banco"_s,
                                       u"Agência"_s,       u"Número Conta"_s, u"DV Número Conta"_s,
                                       u"Tipo de Conta"_s, u"Status"_s};
    QAbstractItemModel* accounts = m_frm->RxDBGrid2->model();
    QCOMPARE(accounts->columnCount(), accountTitles.size());
    for (int c = 0; c < accountTitles.size(); ++c)
        QCOMPARE(accounts->headerData(c, Qt::Horizontal).toString(), accountTitles[c]);
    QVERIFY(m_frm->RxDBGrid2->isReadOnly());

    const QStringList agreementTitles = {u"Cód. Convênio"_s,
                                         u"ID Conta"_s,
                                         u"Número Convênio"_s,
                                         u"Descrição Convênio"_s,
                                         u"Carteira"_s,
                                         u"Cód. Carteira"_s,
                                         u"Espécie"_s,
                                         u"Padrão CNAB"_s,
                                         u"Reiniciar Diariamente"_s,
                                         u"Número Remessa"_s,
                                         u"Densidade Remessa"_s,
                                         u"Registra Instantâneo"_s,
                                         u"IP API"_s,
                                         u"Key API"_s,
                                         u"Secret API"_s,
                                         u"Estação"_s,
                                         u"Banco Controla Nosso Núm"_s,
                                         u"Concilia Nosso Número"_s,
                                         u"Tipo Web Service"_s,
                                         u"Consulta Web Service"_s,
                                         u"Número Contrato"_s,
                                         u"Versão Layout Arquivo"_s,
                                         u"Altera Boleto via Web Service"_s};
    QAbstractItemModel* agreements = m_frm->RxDBGrid1->model();
    QCOMPARE(agreements->columnCount(), agreementTitles.size());
    for (int c = 0; c < agreementTitles.size(); ++c)
        QCOMPARE(agreements->headerData(c, Qt::Horizontal).toString(), agreementTitles[c]);
    QVERIFY(!m_frm->RxDBGrid1->isReadOnly());

    // Shown: the first account's agreements only; the record sets read
    // anew, the beneficiaries on their first row.
    QCOMPARE(agreements->rowCount(), 1);
    QCOMPARE(agreements->index(0, 2).data().toString(), u"N-10"_s);
    QCOMPARE(m_dm->qrBoletoConta->RecNo(), 0);
    QCOMPARE(m_dm->qrEmpresa->State(), dsBrowse);
    QCOMPARE(m_dm->qrBoletoCedente->State(), dsBrowse);
    QCOMPARE(m_dm->qrBoletoConvenio->State(), dsBrowse);
}

void TestConvenio::withoutAccountTheWindowClosesItself()
{
    // As the main window holds it: in a workspace sub-window, destroyed on close.
    QMdiArea area;
    area.resize(1100, 700);
    area.show();
    QPointer<TfrmConvenio> frm = new TfrmConvenio;
    frm->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<QMdiSubWindow> sub = area.addSubWindow(frm);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    m_dialogs->expectNotice(noAccount);
    frm->show();
    QTRY_VERIFY(!sub);
    QVERIFY(!frm);
    QCOMPARE(area.subWindowList().size(), 0);
    for (RecordSet* set :
         {m_dm->qrEmpresa, m_dm->qrBoletoCedente, m_dm->qrBoletoConta, m_dm->qrBoletoConvenio})
        QCOMPARE(set->State(), dsInactive);
}

void TestConvenio::accountWithoutAgreements()
{
    insertConta(1, u"10"_s);
    insertConvenio(u"BCVCODIGO, BCOCONTAID"_s, u"1, '99'"_s); // another account's
    openList();
    QCOMPARE(m_frm->RxDBGrid1->model()->rowCount(), 0);
    m_dialogs->expectNotice(noAgreement);
    m_frm->btnAltera->click();
    QVERIFY(!frmConvenioDados);
    QCOMPARE(m_dm->qrBoletoConvenio->State(), dsBrowse);

    // Included all the same, under this account's identifier.
    onModal([](QWidget* modal) {
        TfrmConvenioDados* d = dataWindow(modal);
        QVERIFY(d);
        QCOMPARE(d->dbContaID->text(), u"10"_s);
        d->btnGravar->click();
    });
    m_frm->btnIncluir->click();
    QTRY_VERIFY(!frmConvenioDados);
    QCOMPARE(column(u"BCOCONTAID"_s, 2), u"10"_s);
    QCOMPARE(m_frm->RxDBGrid1->model()->rowCount(), 1);
}

void TestConvenio::includeStoresTheDefaultsAndWhatIsTyped()
{
    insertConta(1, u"10"_s);
    insertConta(2, u"20"_s);
    insertConvenio(u"BCVCODIGO, BCOCONTAID"_s, u"7, '10'"_s);
    openList();
    bool checked = false;
    onModal([&](QWidget* modal) {
        TfrmConvenioDados* d = dataWindow(modal);
        QVERIFY(d);
        QCOMPARE(d, frmConvenioDados.data());
        QCOMPARE(m_dm->qrBoletoConvenio->State(), dsInsert);
        QCOMPARE(d->dbCodigo->text(), QString()); // no key before the save
        QCOMPARE(d->dbContaID->text(), u"10"_s);
        QCOMPARE(d->dbCarteiraCodigo->currentIndex(), 0);
        QCOMPARE(d->dbCarteiraCodigo->currentText(), u"1 - Cobrança Simples"_s);
        QCOMPARE(d->dbPadraoCNAB->currentText(), u"240"_s);
        QCOMPARE(d->dbEspecie->text(), u"R$"_s);
        for (DBCheckBox* box : {d->dbReiniciaRemessaDiario, d->dbRegistroInstantaneo,
                                d->dbNossoNumeroPelaAgencia, d->dbConsultaWS})
            QVERIFY2(!box->isChecked(), qPrintable(box->objectName()));
        for (DBEdit* e : {d->dbCarteira, d->dbNumeroContrato}) {
            QCOMPARE(e->text(), QString());
            QVERIFY(e->isEnabled());
        }
        QCOMPARE(d->focusWidget(), d->dbConvenioNum);
        retype(d->dbConvenioNum, u"123-4"_s);
        retype(d->dbConvenioDescr, u"Cobranca d'Agua"_s);
        retype(d->dbCarteira, u"17"_s);
        retypeList(d->dbDensidade, u"1600"_s);
        retypeList(d->dbTipoWebService, u"v9 propria"_s); // not a listed one
        retype(d->dbApiSecret, u"s3cr3t"_s);
        retype(d->dbNumeroContrato, u"C-1"_s);
        d->dbReiniciaRemessaDiario->click();
        d->dbConsultaWS->click();
        checked = true;
        d->btnGravar->click();
    });
    m_frm->btnIncluir->click();
    QVERIFY(checked);
    QTRY_VERIFY(!frmConvenioDados); // released
    // One more than the largest key.
    const struct
    {
        const char* name;
        QString value;
    } stored[] = {
        {"BCOCONTAID", u"10"_s},
        {"BCVCONVENIONUMERO", u"123-4"_s},
        {"BCVCONVENIODESCRICAO", u"Cobranca d'Agua"_s},
        {"BCVCONVENIOCARTEIRA", u"17"_s},
        {"BCVCONVENIOCARTEIRACODIGO", u"1"_s},
        {"BCVCONVENIOESPECIE", u"R$"_s},
        {"BCVCONVENIOPADRAOCNAB", u"240"_s},
        {"BCVCONVENIOREINICIARDIARIA", u"1"_s},
        {"BCVCONVENIOREGINSTA", u"0"_s},
        {"BCVCONVENIONOSSONUMEROBANCO", u"0"_s},
        {"BCVCONVENIOCONSULTAWS", u"1"_s},
        {"BCVCONVENIODENSIDAREMESSA", u"1600"_s},
        {"BCVCONVENIOTIPOWEBSERVICE", u"v9 propria"_s},
        {"BCVCONVENIOAPISECRET", u"s3cr3t"_s},
        {"BCVCONVENIONUMEROCONTRATO", u"C-1"_s},
        // Never set by the program.
        {"BCVCONVENIONOSSONUMCONCILIA", u"<null>"_s},
        {"BCVCONVENIOVERSAOLAYOUTARQ", u"<null>"_s},
        {"BCVCONVENIOALTWEBSERVICE", u"<null>"_s},
        {"BCVCONVENIODATACRIADO", u"<null>"_s},
    };
    for (const auto& s : stored)
        QCOMPARE(column(QLatin1String(s.name), 8), s.value);
    QCOMPARE(m_dm->qrBoletoConvenio->State(), dsBrowse);
    QCOMPARE(m_frm->RxDBGrid1->model()->rowCount(), 2);
    QCOMPARE(m_dm->qrBoletoConvenioBCVCODIGO->AsInteger(), 8);
    QCOMPARE(m_frm->RxDBGrid1->currentIndex().row(), 1);
}

void TestConvenio::cancellingAnIncludeStoresNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancelar") << u"button"_s;
    QTest::newRow("Esc") << u"esc"_s;
    QTest::newRow("close box") << u"close"_s;
}

void TestConvenio::cancellingAnIncludeStoresNothing()
{
    QFETCH(QString, how);
    insertConta(1, u"10"_s);
    insertConvenio(u"BCVCODIGO, BCOCONTAID, BCVCONVENIONUMERO"_s, u"1, '10', 'N-1'"_s);
    openList();
    onModal([&](QWidget* modal) {
        TfrmConvenioDados* d = dataWindow(modal);
        QVERIFY(d);
        retype(d->dbConvenioNum, u"typed"_s);
        if (how == u"button")
            d->btnCancelar->click();
        else if (how == u"esc")
            QTest::keyClick(d->dbConvenioNum, Qt::Key_Escape);
        else
            d->close();
    });
    m_frm->btnIncluir->click();
    QTRY_VERIFY(!frmConvenioDados);
    QCOMPARE(count(u"select count(*) from BoletoConvenio"_s), 1);
    QCOMPARE(m_dm->qrBoletoConvenio->State(), dsBrowse);
    QCOMPARE(m_frm->RxDBGrid1->model()->rowCount(), 1);
    QCOMPARE(m_dm->qrBoletoConvenioBCVCONVENIONUMERO->AsString(), u"N-1"_s);
}

void TestConvenio::dataWindowLayout()
{
    insertConta(1, u"10"_s);
    openList();
    bool checked = false;
    onModal([&](QWidget* modal) {
        TfrmConvenioDados* d = dataWindow(modal);
        QVERIFY(d);
        QCOMPARE(d->windowTitle(), u"Dados do Cedente"_s);
        QCOMPARE(d->minimumSize(), d->maximumSize()); // fixed border
        QVERIFY(d->btnGravar->isEnabled());
        QCOMPARE(d->btnCancelar->text(), u"   &Cancelar"_s);
        QCOMPARE(d->btnGravar->text(), u"   &Gravar"_s);
        QVERIFY(d->btnCancelar->x() < d->btnGravar->x());
        QCOMPARE(d->dbReiniciaRemessaDiario->text(), u"Reinicia Remessa Diariamente"_s);
        QCOMPARE(d->dbRegistroInstantaneo->text(), u"Transmissão Instantânea"_s);
        QCOMPARE(d->dbNossoNumeroPelaAgencia->text(), u"Controle do Nosso Número pela Agência"_s);
        QCOMPARE(d->dbConsultaWS->text(), u"Consulta WS"_s);
        const struct
        {
            DBComboBox* list;
            QStringList items;
        } lists[] = {
            {d->dbPadraoCNAB, {u"240"_s, u"400"_s}},
            {d->dbDensidade, {u"1600"_s, u"6250"_s}},
            {d->dbTipoWebService,
             {u"v1"_s, u"v2"_s, u"v2.2"_s, u"v3"_s, u"NORMAL"_s, u"SHOP FACIL"_s}},
        };
        for (const auto& l : lists) {
            QVERIFY(l.list->isEditable());
            QStringList items;
            for (int i = 0; i < l.list->count(); ++i)
                items << l.list->itemText(i);
            QCOMPARE(items, l.items);
        }
        QVERIFY(!d->dbCarteiraCodigo->isEditable());
        QCOMPARE(d->dbCarteiraCodigo->count(), 5);
        QCOMPARE(d->dbCarteiraCodigo->itemText(4), u"5 - Cobrança Vendor"_s);
        QCOMPARE(d->dbCarteiraCodigo->valueAt(4), u"5"_s);
        for (DBEdit* e : {d->dbContaID, d->dbDataCriado, d->dbDataAtualizado})
            QVERIFY2(e->isReadOnly(), qPrintable(e->objectName()));
        QCOMPARE(d->dbApiSecret->echoMode(), QLineEdit::Normal);
        QWidget* order[] = {d->dbContaID,
                            d->dbConvenioNum,
                            d->dbConvenioDescr,
                            d->dbCarteira,
                            d->dbCarteiraCodigo,
                            d->dbEspecie,
                            d->dbPadraoCNAB,
                            d->dbReiniciaRemessaDiario,
                            d->dbNumeroRemessa,
                            d->dbDensidade,
                            d->dbRegistroInstantaneo,
                            d->dbApiID,
                            d->dbApiKey,
                            d->dbApiSecret,
                            d->dbEstacao,
                            d->dbNossoNumeroPelaAgencia,
                            d->dbTipoWebService,
                            d->dbConsultaWS,
                            d->dbNumeroContrato,
                            d->dbDataCriado,
                            d->dbDataAtualizado,
                            d->btnGravar,
                            d->btnCancelar};
        for (size_t i = 0; i + 1 < std::size(order); ++i) {
            order[i]->setFocus(Qt::TabFocusReason);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* now = QApplication::focusWidget();
            // The drop-down edit's focus rests on its line edit.
            QVERIFY2(now == order[i + 1] || order[i + 1]->isAncestorOf(now),
                     qPrintable(order[i]->objectName()));
        }
        // Rows from top to bottom.
        const auto top = [d](QWidget* w) { return w->mapTo(d, QPoint()).y(); };
        QCOMPARE(top(d->dbCodigo), top(d->dbContaID));
        QVERIFY(top(d->dbContaID) < top(d->dbConvenioNum));
        QCOMPARE(top(d->dbCarteira), top(d->dbCarteiraCodigo));
        QVERIFY(top(d->dbNumeroContrato) < top(d->dbDataCriado));
        QCOMPARE(top(d->dbDataCriado), top(d->dbDataAtualizado));
        checked = true;
        d->btnCancelar->click();
    });
    m_frm->btnIncluir->click();
    QVERIFY(checked);
}

void TestConvenio::cnabRuleOnChoosing()
{
    insertConta(1, u"10"_s);
    openList();
    bool checked = false;
    onModal([&](QWidget* modal) {
        TfrmConvenioDados* d = dataWindow(modal);
        QVERIFY(d);
        retype(d->dbCarteira, u"17"_s);
        retype(d->dbNumeroContrato, u"C-1"_s);
        // Down chooses the next item, "400".
        d->dbPadraoCNAB->setFocus();
        QTest::keyClick(d->dbPadraoCNAB, Qt::Key_Down);
        QCOMPARE(d->dbPadraoCNAB->currentText(), u"400"_s);
        QCOMPARE(m_dm->qrBoletoConvenioBCVCONVENIOPADRAOCNAB->AsString(), u"400"_s);
        for (DBEdit* e : {d->dbCarteira, d->dbNumeroContrato}) {
            QVERIFY(!e->isEnabled());
            QCOMPARE(e->text(), QString());
        }
        QTest::keyClick(d->dbPadraoCNAB, Qt::Key_Up);
        QCOMPARE(d->dbPadraoCNAB->currentText(), u"240"_s);
        QVERIFY(d->dbCarteira->isEnabled());
        QVERIFY(d->dbNumeroContrato->isEnabled());
        QCOMPARE(d->dbCarteira->text(), u"1"_s);
        QCOMPARE(d->dbNumeroContrato->text(), QString());
        checked = true;
        d->btnGravar->click();
    });
    m_frm->btnIncluir->click();
    QVERIFY(checked);
    QTRY_VERIFY(!frmConvenioDados);
    QCOMPARE(column(u"BCVCONVENIOPADRAOCNAB"_s), u"240"_s);
    QCOMPARE(column(u"BCVCONVENIOCARTEIRA"_s), u"1"_s);
    QCOMPARE(column(u"BCVCONVENIONUMEROCONTRATO"_s), QString()); // empty, not null
}

void TestConvenio::cnabRuleOnTyping()
{
    insertConta(1, u"10"_s);
    openList();
    bool checked = false;
    onModal([&](QWidget* modal) {
        TfrmConvenioDados* d = dataWindow(modal);
        QVERIFY(d);
        retype(d->dbCarteira, u"17"_s);
        retype(d->dbNumeroContrato, u"C-1"_s);
        QLineEdit* line = d->dbPadraoCNAB->lineEdit();
        d->dbPadraoCNAB->setFocus();
        line->selectAll();
        const struct
        {
            char key;
            bool enabled;
            QString carteira;
        } steps[] = {{'2', false, QString()}, {'4', false, QString()}, {'0', true, u"1"_s}};
        for (const auto& s : steps) {
            QTest::keyClick(line, s.key);
            QCOMPARE(d->dbCarteira->isEnabled(), s.enabled);
            QCOMPARE(d->dbNumeroContrato->isEnabled(), s.enabled);
            QCOMPARE(d->dbCarteira->text(), s.carteira);
            QCOMPARE(d->dbNumeroContrato->text(), QString());
        }
        QCOMPARE(line->text(), u"240"_s);
        // Typed past a standard: the rule again.
        QTest::keyClick(line, Qt::Key_Backspace);
        QVERIFY(!d->dbCarteira->isEnabled());
        retypeList(d->dbPadraoCNAB, u"400"_s);
        QVERIFY(!d->dbCarteira->isEnabled());
        checked = true;
        d->btnGravar->click();
    });
    m_frm->btnIncluir->click();
    QVERIFY(checked);
    QTRY_VERIFY(!frmConvenioDados);
    QCOMPARE(column(u"BCVCONVENIOPADRAOCNAB"_s), u"400"_s);
    QCOMPARE(column(u"BCVCONVENIOCARTEIRA"_s), QString());
    QCOMPARE(column(u"BCVCONVENIONUMEROCONTRATO"_s), QString());
}

void TestConvenio::alterOpensWithStoredValuesWhateverTheStandard()
{
    insertConta(1, u"10"_s);
    insertConvenio(u"BCVCODIGO, BCOCONTAID, BCVCONVENIOPADRAOCNAB, BCVCONVENIOCARTEIRA, "
                   u"BCVCONVENIONUMEROCONTRATO, BCVCONVENIOCONSULTAWS, BCVCONVENIOREGINSTA"_s,
                   u"1, '10', '400', '09', 'CT-400', '1', 'S'"_s);
    openList();
    // Cancelled: nothing changes; saved: what was typed is stored.
    for (bool save : {false, true}) {
        bool checked = false;
        onModal([&](QWidget* modal) {
            TfrmConvenioDados* d = dataWindow(modal);
            QVERIFY(d);
            QCOMPARE(m_dm->qrBoletoConvenio->State(), dsEdit);
            QCOMPARE(d->dbCodigo->text(), u"1"_s);
            QCOMPARE(d->focusWidget(), d->dbConvenioNum);
            QCOMPARE(d->dbPadraoCNAB->currentText(), u"400"_s);
            QVERIFY(d->dbCarteira->isEnabled());
            QVERIFY(d->dbNumeroContrato->isEnabled());
            QCOMPARE(d->dbCarteira->text(), u"09"_s);
            QCOMPARE(d->dbNumeroContrato->text(), u"CT-400"_s);
            QVERIFY(d->dbConsultaWS->isChecked());
            QVERIFY(!d->dbRegistroInstantaneo->isChecked()); // only "1" ticks
            retype(d->dbNumeroContrato, u"CT-401"_s);
            d->dbConsultaWS->click();
            checked = true;
            (save ? d->btnGravar : d->btnCancelar)->click();
        });
        m_frm->btnAltera->click();
        QVERIFY(checked);
        QTRY_VERIFY(!frmConvenioDados);
        QCOMPARE(m_dm->qrBoletoConvenio->State(), dsBrowse);
        QCOMPARE(column(u"BCVCONVENIONUMEROCONTRATO"_s), save ? u"CT-401"_s : u"CT-400"_s);
        QCOMPARE(column(u"BCVCONVENIOCONSULTAWS"_s), save ? u"0"_s : u"1"_s);
        QCOMPARE(column(u"BCVCONVENIOREGINSTA"_s), u"S"_s);
        QCOMPARE(column(u"BCVCONVENIOCARTEIRA"_s), u"09"_s);
        QCOMPARE(m_dm->qrBoletoConvenioBCVCONVENIONUMEROCONTRATO->AsString(),
                 save ? u"CT-401"_s : u"CT-400"_s);
    }
}

void TestConvenio::walletCodeOutsideTheList()
{
    insertConta(1, u"10"_s);
    insertConvenio(u"BCVCODIGO, BCOCONTAID, BCVCONVENIOCARTEIRACODIGO"_s, u"1, '10', '9'"_s);
    openList();
    bool checked = false;
    onModal([&](QWidget* modal) {
        TfrmConvenioDados* d = dataWindow(modal);
        QVERIFY(d);
        QCOMPARE(d->dbCarteiraCodigo->currentIndex(), -1);
        QCOMPARE(d->dbCarteiraCodigo->currentText(), QString());
        d->dbCarteiraCodigo->setFocus();
        QTest::keyClick(d->dbCarteiraCodigo, Qt::Key_Down); // the first choice
        QTest::keyClick(d->dbCarteiraCodigo, Qt::Key_Down);
        QTest::keyClick(d->dbCarteiraCodigo, Qt::Key_Down);
        QCOMPARE(d->dbCarteiraCodigo->currentText(), u"3 - Cobrança Caucionada"_s);
        checked = true;
        d->btnGravar->click();
    });
    m_frm->btnAltera->click();
    QVERIFY(checked);
    QTRY_VERIFY(!frmConvenioDados);
    QCOMPARE(column(u"BCVCONVENIOCARTEIRACODIGO"_s), u"3"_s);
}

void TestConvenio::agreementsFollowTheCurrentAccount_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("click") << u"click"_s;
    QTest::newRow("arrow key") << u"key"_s;
    QTest::newRow("another window moves the accounts") << u"set"_s;
}

void TestConvenio::agreementsFollowTheCurrentAccount()
{
    QFETCH(QString, how);
    insertConta(1, u"10"_s);
    insertConta(2, u"20"_s);
    insertConvenio(u"BCVCODIGO, BCOCONTAID, BCVCONVENIONUMERO"_s, u"1, '10', 'N-10'"_s);
    insertConvenio(u"BCVCODIGO, BCOCONTAID, BCVCONVENIONUMERO"_s, u"2, '20', 'N-20a'"_s);
    insertConvenio(u"BCVCODIGO, BCOCONTAID, BCVCONVENIONUMERO"_s, u"3, '20', 'N-20b'"_s);
    openList();
    QAbstractItemModel* agreements = m_frm->RxDBGrid1->model();
    QCOMPARE(agreements->rowCount(), 1);
    if (how == u"click") {
        clickCell(m_frm->RxDBGrid2, 1, 2);
    } else if (how == u"key") {
        m_frm->RxDBGrid2->setFocus();
        QTest::keyClick(m_frm->RxDBGrid2, Qt::Key_Down);
    } else {
        m_dm->qrBoletoConta->SetRecNo(1);
    }
    QCOMPARE(m_dm->qrBoletoConta->RecNo(), 1);
    QCOMPARE(agreements->rowCount(), 2);
    QCOMPARE(agreements->index(1, 2).data().toString(), u"N-20b"_s);

    // An include goes to the account whose agreements are on screen.
    onModal([](QWidget* modal) {
        TfrmConvenioDados* d = dataWindow(modal);
        QVERIFY(d);
        QCOMPARE(d->dbContaID->text(), u"20"_s);
        d->btnGravar->click();
    });
    m_frm->btnIncluir->click();
    QTRY_VERIFY(!frmConvenioDados);
    QCOMPARE(column(u"BCOCONTAID"_s, 4), u"20"_s);
    QCOMPARE(agreements->rowCount(), 3);

    // And back.
    if (how == u"key") {
        m_frm->RxDBGrid2->setFocus();
        QTest::keyClick(m_frm->RxDBGrid2, Qt::Key_Up);
    } else {
        clickCell(m_frm->RxDBGrid2, 0, 0);
    }
    QCOMPARE(agreements->rowCount(), 1);
    QCOMPARE(agreements->index(0, 2).data().toString(), u"N-10"_s);
}

void TestConvenio::ctrlDeleteInTheAgreementsGrid_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("Yes") << true;
    QTest::newRow("No") << false;
}

void TestConvenio::ctrlDeleteInTheAgreementsGrid()
{
    QFETCH(bool, answer);
    insertConta(1, u"10"_s);
    insertConvenio(u"BCVCODIGO, BCOCONTAID"_s, u"1, '10'"_s);
    // Registered on the platform: deleted all the same, and only here.
    insertConvenio(u"BCVCODIGO, BCOCONTAID, BCVCONVENIODATACRIADO"_s, u"2, '10', 'ontem'"_s);
    openList();
    m_dm->qrBoletoConvenio->Last();
    m_frm->RxDBGrid1->setFocus();
    m_dialogs->expectQuestion(u"Confirm"_s, u"Delete record?"_s, answer);
    QTest::keyClick(m_frm->RxDBGrid1, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(count(u"select count(*) from BoletoConvenio"_s), answer ? 1 : 2);
    QCOMPARE(count(u"select count(*) from BoletoConvenio where BCVCODIGO = 2"_s), answer ? 0 : 1);
    QCOMPARE(m_frm->RxDBGrid1->model()->rowCount(), answer ? 1 : 2);
    QCOMPARE(m_dm->qrBoletoConvenioBCVCODIGO->AsInteger(), answer ? 1 : 2);
    QCOMPARE(count(u"select count(*) from BoletoConta"_s), 1);
}

void TestConvenio::ctrlDeleteInTheAccountsGridDoesNothing()
{
    insertConta(1, u"10"_s);
    insertConvenio(u"BCVCODIGO, BCOCONTAID"_s, u"1, '10'"_s);
    openList();
    m_frm->RxDBGrid2->setFocus();
    QTest::keyClick(m_frm->RxDBGrid2, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(m_dialogs->shown.size(), 0);
    QCOMPARE(count(u"select count(*) from BoletoConta"_s), 1);
    QCOMPARE(count(u"select count(*) from BoletoConvenio"_s), 1);
}

void TestConvenio::closingTheListClosesItsRecordSets()
{
    insertConta(1, u"10"_s);
    openList();
    m_frm->btnSair->click();
    for (RecordSet* set :
         {m_dm->qrEmpresa, m_dm->qrBoletoCedente, m_dm->qrBoletoConta, m_dm->qrBoletoConvenio})
        QCOMPARE(set->State(), dsInactive);
    // Another window re-opening the accounts reads no agreements for a
    // closed list.
    m_dm->qrBoletoConta->Open();
    QCOMPARE(m_dm->qrBoletoConvenio->State(), dsInactive);
}

QTEST_MAIN(TestConvenio)
#include "tst_convenio.moc"
