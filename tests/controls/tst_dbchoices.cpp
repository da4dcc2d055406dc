// The data-bound check box, drop-down list and lookup selector over real
// record sets.
#include "dbcheckbox.h"
#include "dbcombobox.h"
#include "dblookup.h"
#include "scripteddialogs.h"
#include "testserver.h"
#include "untDM.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

using namespace Qt::StringLiterals;

class TestDbChoices : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void checkBoxShowsTheFlag_data();
    void checkBoxShowsTheFlag();
    void checkBoxStoresOneOrZero();
    void checkBoxOnAClosedSet();
    void editableListShowsAndStores();
    void editableListStoresFreeTextAsTyped();
    void valueMappedFixedList();
    void lookupListsShowsAndStores();
    void lookupKeepsTheListOnTheStoredKey();
    void lookupLeavesTheListWhenNoRowHasTheKey_data();
    void lookupLeavesTheListWhenNoRowHasTheKey();
    void lookupExitsOnlyWhenTheFocusMovesOn();

private:
    void insertConta(int codigo, const QString& ativa, const QString& cnpj);
    void insertCedente(int codigo, const QString& razao, const QString& cnpj);
    QString stored(const QString& column, int codigo);

    TestServer m_server;
    QString m_path;
    Connection m_admin;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<Tdm> m_dm;
};

void TestDbChoices::initTestCase()
{
    if (!TestServer::available())
        return;
    m_server = TestServer::fromEnvironment();
    m_path = m_server.createDatabase(m_admin, u"choices"_s);
}

void TestDbChoices::init()
{
    REQUIRE_TEST_SERVER();
    m_admin.execute(u"delete from BoletoConta"_s, {});
    m_admin.execute(u"delete from BoletoCedente"_s, {});
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_dm = std::make_unique<Tdm>(m_dialogs.get());
    m_server.useDatabase(*m_dm, m_path);
}

void TestDbChoices::cleanup()
{
    if (m_dialogs)
        VERIFY_DIALOGS(*m_dialogs);
    m_dm.reset();
    m_dialogs.reset();
}

void TestDbChoices::insertConta(int codigo, const QString& ativa, const QString& cnpj)
{
    const auto text = [](const QString& t) {
        return t.isNull() ? SqlValue::null() : SqlValue::fromText(t);
    };
    m_admin.execute(
        u"insert into BoletoConta (BCOCODIGO, BCOCONTAATIVA, BCECNPJ) values (?, ?, ?)"_s,
        {SqlValue::fromInteger(codigo), text(ativa), text(cnpj)});
}

void TestDbChoices::insertCedente(int codigo, const QString& razao, const QString& cnpj)
{
    m_admin.execute(
        u"insert into BoletoCedente (BCECODIGO, BCERAZAO, BCECNPJ) values (?, ?, ?)"_s,
        {SqlValue::fromInteger(codigo), SqlValue::fromText(razao), SqlValue::fromText(cnpj)});
}

QString TestDbChoices::stored(const QString& column, int codigo)
{
    return queryText(m_admin, u"select "_s + column + u" from BoletoConta where BCOCODIGO = ?"_s,
                     {SqlValue::fromInteger(codigo)});
}

void TestDbChoices::checkBoxShowsTheFlag_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("checked");
    QTest::newRow("1") << u"1"_s << true;
    QTest::newRow("0") << u"0"_s << false;
    QTest::newRow("null") << QString() << false;
    QTest::newRow("empty") << u""_s << false;
    QTest::newRow("other") << u"S"_s << false;
}

void TestDbChoices::checkBoxShowsTheFlag()
{
    QFETCH(QString, value);
    QFETCH(bool, checked);
    insertConta(1, u"1"_s, {});
    insertConta(2, value, {});
    DBCheckBox box(m_dm->dsBoletoConta, u"BCOCONTAATIVA"_s, u"Conta Ativa"_s);
    QCOMPARE(box.text(), u"Conta Ativa"_s);
    QVERIFY(!box.isChecked()); // closed
    m_dm->qrBoletoConta->Open();
    QVERIFY(box.isChecked());
    m_dm->qrBoletoConta->Next();
    QCOMPARE(box.isChecked(), checked);
}

void TestDbChoices::checkBoxStoresOneOrZero()
{
    insertConta(1, {}, {});
    DBCheckBox box(m_dm->dsBoletoConta, u"BCOCONTAATIVA"_s, u"Conta Ativa"_s);
    RecordSet* set = m_dm->qrBoletoConta;
    set->Open();
    box.show();
    QTest::mouseClick(&box, Qt::LeftButton);
    QCOMPARE(set->State(), dsEdit);
    QCOMPARE(m_dm->qrBoletoContaBCOCONTAATIVA->AsString(), u"1"_s);
    set->Post();
    QCOMPARE(stored(u"BCOCONTAATIVA"_s, 1), u"1"_s);

    box.setFocus();
    QTest::keyClick(&box, Qt::Key_Space);
    QVERIFY(!box.isChecked());
    QCOMPARE(m_dm->qrBoletoContaBCOCONTAATIVA->AsString(), u"0"_s);
    set->Post();
    QCOMPARE(stored(u"BCOCONTAATIVA"_s, 1), u"0"_s);

    // A value written by code shows at once; a cancelled one goes back.
    set->Edit();
    m_dm->qrBoletoContaBCOCONTAATIVA->SetAsString(u"1"_s);
    QVERIFY(box.isChecked());
    set->Cancel();
    QVERIFY(!box.isChecked());
}

void TestDbChoices::checkBoxOnAClosedSet()
{
    DBCheckBox box(m_dm->dsBoletoConta, u"BCOCONTAATIVA"_s, u"Conta Ativa"_s);
    box.show();
    m_dialogs->expectError(u"qrBoletoConta"_s);
    QTest::mouseClick(&box, Qt::LeftButton);
    QVERIFY(!box.isChecked()); // what the (closed) field holds
}

void TestDbChoices::editableListShowsAndStores()
{
    insertConta(1, {}, {});
    m_admin.execute(u"update BoletoConta set BCOCONTATIPO = 'POUPANCA'"_s, {});
    insertConta(2, {}, {});
    m_admin.execute(u"update BoletoConta set BCOCONTATIPO = 'CONJUNTA' where BCOCODIGO = 2"_s, {});
    DBComboBox box(m_dm->dsBoletoConta, u"BCOCONTATIPO"_s);
    box.setChoices({u"CORRENTE"_s, u"POUPANCA"_s});
    QVERIFY(box.isEditable());
    QCOMPARE(box.lineEdit()->maxLength(), 2 * 8);
    RecordSet* set = m_dm->qrBoletoConta;
    set->Open();
    QCOMPARE(box.currentIndex(), 1);
    QCOMPARE(box.currentText(), u"POUPANCA"_s);
    set->Next(); // a value that is no choice is shown as it is
    QCOMPARE(box.currentIndex(), -1);
    QCOMPARE(box.currentText(), u"CONJUNTA"_s);

    box.show();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    box.setFocus();
    QTest::keyClick(&box, Qt::Key_Down); // onto the first choice
    QCOMPARE(set->State(), dsEdit);
    QCOMPARE(m_dm->qrBoletoContaBCOCONTATIPO->AsString(), u"CORRENTE"_s);
    set->Post();
    QCOMPARE(stored(u"BCOCONTATIPO"_s, 2), u"CORRENTE"_s);

    set->First();
    QCOMPARE(box.currentText(), u"POUPANCA"_s);
    set->Close();
    QCOMPARE(box.currentText(), QString());
}

void TestDbChoices::editableListStoresFreeTextAsTyped()
{
    insertConta(1, {}, {});
    DBComboBox box(m_dm->dsBoletoConta, u"BCOCONTATIPO"_s);
    box.setChoices({u"CORRENTE"_s, u"POUPANCA"_s});
    m_dm->qrBoletoConta->Open();
    box.show();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    box.setFocus();
    // No completion: "C" stays "C", not "CORRENTE".
    QTest::keyClicks(&box, u"C"_s);
    QCOMPARE(box.currentText(), u"C"_s);
    QCOMPARE(m_dm->qrBoletoContaBCOCONTATIPO->AsString(), u"C"_s);
    QTest::keyClicks(&box, u"onjunta salario"_s); // cut to the column's 8
    QCOMPARE(box.currentText(), u"Conjunta"_s);
    QCOMPARE(m_dm->qrBoletoContaBCOCONTATIPO->AsString(), u"Conjunta"_s);
    QTest::keyClick(&box, Qt::Key_Return); // Enter adds nothing to the list
    QCOMPARE(box.count(), 2);
    m_dm->qrBoletoConta->Post();
    QCOMPARE(stored(u"BCOCONTATIPO"_s, 1), u"Conjunta"_s);
}

void TestDbChoices::valueMappedFixedList()
{
    insertConta(1, {}, {});
    m_admin.execute(u"update BoletoConta set BCOCONTATIPO = '2'"_s, {});
    insertConta(2, {}, {});
    m_admin.execute(u"update BoletoConta set BCOCONTATIPO = '9' where BCOCODIGO = 2"_s, {});
    DBComboBox box(m_dm->dsBoletoConta, u"BCOCONTATIPO"_s, DBComboBox::Style::FixedList);
    box.addChoice(u"1 - Cobrança Simples"_s, u"1"_s);
    box.addChoice(u"2 - Cobrança Vinculada"_s, u"2"_s);
    box.addChoice(u"3"_s); // stores its caption
    QVERIFY(!box.isEditable());
    QCOMPARE(box.valueAt(2), u"3"_s);
    RecordSet* set = m_dm->qrBoletoConta;
    set->Open();
    QCOMPARE(box.currentText(), u"2 - Cobrança Vinculada"_s);
    set->Next(); // no choice stores "9": nothing is shown
    QCOMPARE(box.currentIndex(), -1);
    QCOMPARE(box.currentText(), QString());

    box.show();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    box.setFocus();
    QTest::keyClick(&box, Qt::Key_Down);
    QCOMPARE(box.currentText(), u"1 - Cobrança Simples"_s);
    QCOMPARE(m_dm->qrBoletoContaBCOCONTATIPO->AsString(), u"1"_s);
    set->Post();
    QCOMPARE(stored(u"BCOCONTATIPO"_s, 2), u"1"_s);
}

void TestDbChoices::lookupListsShowsAndStores()
{
    insertCedente(1, u"Alfa"_s, u"11111111000111"_s);
    insertCedente(2, u"Beta"_s, u"22222222000122"_s);
    insertConta(1, {}, u"22222222000122"_s);
    insertConta(2, {}, {});
    DBLookupComboBox box(m_dm->dsBoletoConta, u"BCECNPJ"_s, m_dm->dsBoletoCedente, u"BCECNPJ"_s,
                         u"BCERAZAO"_s);
    QCOMPARE(box.count(), 0);
    m_dm->qrBoletoCedente->Open();
    QCOMPARE(box.count(), 2);
    QCOMPARE(box.itemText(0), u"Alfa"_s);
    QCOMPARE(box.itemText(1), u"Beta"_s);
    QCOMPARE(box.keyAt(1), u"22222222000122"_s);
    QCOMPARE(box.currentIndex(), -1); // no account row
    RecordSet* conta = m_dm->qrBoletoConta;
    conta->Open();
    QCOMPARE(box.currentText(), u"Beta"_s);
    QCOMPARE(box.keyValue(), u"22222222000122"_s);
    conta->Next(); // no beneficiary chosen
    QCOMPARE(box.currentIndex(), -1);
    QCOMPARE(box.keyValue(), QString());

    box.show();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    box.setFocus();
    QTest::keyClick(&box, Qt::Key_Down);
    QCOMPARE(box.currentText(), u"Alfa"_s);
    QCOMPARE(conta->State(), dsEdit);
    QCOMPARE(m_dm->qrBoletoContaBCECNPJ->AsString(), u"11111111000111"_s);
    QCOMPARE(m_dm->qrBoletoCedente->RecNo(), 0);
    QTest::keyClick(&box, Qt::Key_Down);
    QCOMPARE(m_dm->qrBoletoContaBCECNPJ->AsString(), u"22222222000122"_s);
    QCOMPARE(m_dm->qrBoletoCedente->RecNo(), 1);
    conta->Post();
    QCOMPARE(stored(u"BCECNPJ"_s, 2), u"22222222000122"_s);

    // The list read anew still shows the stored beneficiary.
    m_dm->qrBoletoCedente->Close();
    QCOMPARE(box.count(), 0);
    m_dm->qrBoletoCedente->Open();
    QCOMPARE(box.currentText(), u"Beta"_s);
}

void TestDbChoices::lookupKeepsTheListOnTheStoredKey()
{
    insertCedente(1, u"Alfa"_s, u"11111111000111"_s);
    insertCedente(2, u"Beta"_s, u"22222222000122"_s);
    insertCedente(3, u"Beta de novo"_s, u"22222222000122"_s);
    insertCedente(4, u"Gama"_s, u"33333333000133"_s);
    insertConta(1, {}, u"33333333000133"_s);
    insertConta(2, {}, u"22222222000122"_s);
    insertConta(3, {}, u"11111111000111"_s);
    DBLookupComboBox box(m_dm->dsBoletoConta, u"BCECNPJ"_s, m_dm->dsBoletoCedente, u"BCECNPJ"_s,
                         u"BCERAZAO"_s);
    RecordSet* cedente = m_dm->qrBoletoCedente;
    RecordSet* conta = m_dm->qrBoletoConta;
    cedente->Open();
    conta->Open();
    QCOMPARE(cedente->RecNo(), 3);
    conta->Next(); // a CNPJ two beneficiaries share: the first of them
    QCOMPARE(cedente->RecNo(), 1);
    QCOMPARE(box.currentText(), u"Beta"_s);
    cedente->SetRecNo(2);
    conta->Next();
    QCOMPARE(cedente->RecNo(), 0);

    // Choosing the second of the two stores the CNPJ and shows the first.
    box.show();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    box.setFocus();
    QTest::keyClicks(&box, u"Beta de"_s); // keyboard search
    QCOMPARE(m_dm->qrBoletoContaBCECNPJ->AsString(), u"22222222000122"_s);
    QCOMPARE(cedente->RecNo(), 1);
    QCOMPARE(box.currentText(), u"Beta"_s);

    // A change pending in the list is never posted by the selector.
    conta->Cancel();
    cedente->Edit();
    m_dm->qrBoletoCedenteBCERAZAO->SetAsString(u"Alfa alterado"_s);
    conta->Last();
    QCOMPARE(cedente->State(), dsEdit);
    QCOMPARE(cedente->RecNo(), 0);
    QCOMPARE(box.currentText(), u"Alfa alterado"_s);
    cedente->Cancel();
}

void TestDbChoices::lookupLeavesTheListWhenNoRowHasTheKey_data()
{
    QTest::addColumn<QString>("cnpj");
    QTest::newRow("unknown CNPJ") << u"99999999000199"_s;
    QTest::newRow("no CNPJ") << QString();
}

void TestDbChoices::lookupLeavesTheListWhenNoRowHasTheKey()
{
    QFETCH(QString, cnpj);
    insertCedente(1, u"Alfa"_s, u"11111111000111"_s);
    insertCedente(2, u""_s, u""_s); // a beneficiary without CNPJ is no match for ""
    insertCedente(3, u"Gama"_s, u"33333333000133"_s);
    insertConta(1, {}, u"11111111000111"_s);
    insertConta(2, {}, cnpj);
    DBLookupComboBox box(m_dm->dsBoletoConta, u"BCECNPJ"_s, m_dm->dsBoletoCedente, u"BCECNPJ"_s,
                         u"BCERAZAO"_s);
    m_dm->qrBoletoCedente->Open();
    m_dm->qrBoletoConta->Open();
    m_dm->qrBoletoCedente->Last();
    m_dm->qrBoletoConta->Next();
    QCOMPARE(m_dm->qrBoletoCedente->RecNo(), 2);
    QCOMPARE(box.currentIndex(), -1);
    QCOMPARE(box.keyValue(), cnpj.isNull() ? QString() : cnpj);
}

void TestDbChoices::lookupExitsOnlyWhenTheFocusMovesOn()
{
    insertCedente(1, u"Alfa"_s, u"11111111000111"_s);
    QWidget window;
    auto* box = new DBLookupComboBox(m_dm->dsBoletoConta, u"BCECNPJ"_s, m_dm->dsBoletoCedente,
                                     u"BCECNPJ"_s, u"BCERAZAO"_s, &window);
    auto* next = new QLineEdit(&window);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(box);
    layout->addWidget(next);
    m_dm->qrBoletoCedente->Open();
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QSignalSpy exits(box, &DBLookupComboBox::exited);
    box->setFocus();
    box->showPopup();
    QTRY_VERIFY(box->view()->isVisible());
    box->hidePopup();
    QTRY_VERIFY(box->hasFocus());
    QCOMPARE(exits.size(), 0);
    QTest::keyClick(box, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), next);
    QCOMPARE(exits.size(), 1);
    // Not when the whole window loses the focus.
    box->setFocus();
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QCOMPARE(exits.size(), 1);
}

QTEST_MAIN(TestDbChoices)
#include "tst_dbchoices.moc"
