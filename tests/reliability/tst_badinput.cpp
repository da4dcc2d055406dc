// Whatever a user types into the edits of a beneficiary, an account or an
// agreement is stored as typed (cut to the column), read back the same, and
// never becomes part of a statement.
#include "dbcombobox.h"
#include "dbedit.h"
#include "scripteddialogs.h"
#include "testserver.h"
#include "untCedente.h"
#include "untCedenteDados.h"
#include "untConta.h"
#include "untContaDados.h"
#include "untConvenio.h"
#include "untConvenioDados.h"
#include "untDM.h"

#include <QLineEdit>

#include <QKeyEvent>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace Qt::StringLiterals;

namespace {
// Types text the way a keyboard delivers it: one key event per character,
// emoji included (QTest::keyClicks handles ASCII only).
void type(QWidget* w, const QString& text)
{
    const auto points = text.toUcs4();
    for (char32_t c : points) {
        const QString s = QString::fromUcs4(&c, 1);
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, s);
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, s);
        QApplication::sendEvent(w, &release);
    }
}

using Typed = QList<std::pair<Field*, QString>>;

// Types into every field of a data-entry window that takes typing: the
// drop-down lists first (a list may disable other fields as it changes),
// then the edits that are still enabled. What each field took.
Typed typeEverywhere(QWidget* window, const QString& text)
{
    Typed shown;
    for (DBComboBox* list : window->findChildren<DBComboBox*>()) {
        if (!list->isEditable())
            continue;
        list->setFocus();
        list->lineEdit()->selectAll(); // typed over what it holds
        type(list->lineEdit(), text);
        shown << std::make_pair(list->field(), list->lineEdit()->text());
    }
    for (DBEdit* e : window->findChildren<DBEdit*>()) {
        if (e->isReadOnly() || !e->isEnabled())
            continue;
        e->setFocus();
        e->selectAll();
        type(e, text);
        shown << std::make_pair(e->field(), e->text());
    }
    return shown;
}

void setUpModule(Tdm& module, const TestServer& server, const QString& path)
{
    server.useDatabase(module, path);
}
} // namespace

class TestBadInput : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void everyEditStoresWhatWasTyped_data();
    void everyEditStoresWhatWasTyped();
    void accountAndAgreementFieldsStoreWhatWasTyped_data();
    void accountAndAgreementFieldsStoreWhatWasTyped();

private:
    // The only row of `table` holds what each field took, and the
    // program reads it back the same.
    void verifyStored(const QString& table, RecordSet* set, const Typed& shown,
                      const QString& typed);

    TestServer m_server;
    QString m_path;
    Connection m_admin;
};

void TestBadInput::initTestCase()
{
    if (!TestServer::available())
        return;
    m_server = TestServer::fromEnvironment();
    m_path = m_server.createDatabase(m_admin, u"badinput"_s);
}

void TestBadInput::everyEditStoresWhatWasTyped_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("apostrophes and quotes") << u"D'Ávila \"o\" 'x'"_s;
    QTest::newRow("SQL") << u"'; DROP TABLE BoletoCedente; --"_s;
    QTest::newRow("parameter and comment marks") << u":xCNPJ ? /* */ %_"_s;
    QTest::newRow("backslashes") << u"C:\\dados\\n\\0"_s;
    QTest::newRow("emoji and accents") << u"çã😀ü€"_s;
    QTest::newRow("long") << QString(300, u'x');
}

void TestBadInput::everyEditStoresWhatWasTyped()
{
    REQUIRE_TEST_SERVER();
    QFETCH(QString, typed);
    m_admin.execute(u"delete from BoletoCedente"_s, {});
    ScriptedDialogs dialogs;
    Tdm module(&dialogs);
    setUpModule(module, m_server, m_path);
    QWidget main;
    auto* frm = new TfrmCedente(&main);
    main.show();

    Typed shown;
    onModal([&](QWidget* modal) {
        auto* d = qobject_cast<TfrmCedenteDados*>(modal);
        QVERIFY(d);
        shown = typeEverywhere(d, typed);
        d->btnGravar->click();
    });
    frm->btnAltera->click(); // an empty list: a new beneficiary
    QCOMPARE(shown.size(), 12);
    VERIFY_DIALOGS(dialogs);

    verifyStored(u"BoletoCedente"_s, module.qrBoletoCedente, shown, typed);
}

void TestBadInput::verifyStored(const QString& table, RecordSet* set, const Typed& shown,
                                const QString& typed)
{
    int tables = 0;
    m_admin.query(u"select count(*) from rdb$relations where rdb$relation_name = ?"_s,
                  {SqlValue::fromText(table.toUpper())}, {},
                  [&](const RowView& r) { tables = int(r.integer(0)); });
    QCOMPARE(tables, 1);
    for (const auto& [field, text] : shown) {
        // What the field took is a prefix of what was typed, within the column.
        QVERIFY2(typed.startsWith(text), qPrintable(field->FieldName() + u" "_s + text));
        QVERIFY(text.toUcs4().size() <= field->Size());
        QString stored;
        m_admin.query(u"select "_s + field->FieldName() + u" from "_s + table, {}, {},
                      [&](const RowView& r) {
                          stored = QString::fromUtf8(r.utf8(0).data(), qsizetype(r.utf8(0).size()));
                      });
        QCOMPARE(stored, text);
    }
    // Read back through the program the same.
    set->Close();
    set->Open();
    QCOMPARE(set->RecordCount(), 1);
    for (const auto& [field, text] : shown)
        QCOMPARE(field->AsString(), text);
}

void TestBadInput::accountAndAgreementFieldsStoreWhatWasTyped_data()
{
    QTest::addColumn<bool>("agreement");
    QTest::addColumn<QString>("typed");
    for (bool agreement : {false, true}) {
        const char* what = agreement ? "agreement" : "account";
        QTest::addRow("%s: apostrophes and quotes", what) << agreement << u"D'Ávila \"o\" 'x'"_s;
        QTest::addRow("%s: SQL", what) << agreement << u"'; DROP TABLE BoletoConta; --"_s;
        QTest::addRow("%s: parameter marks", what) << agreement << u":xContaID ? %_"_s;
        QTest::addRow("%s: emoji and accents", what) << agreement << u"çã😀ü€"_s;
        QTest::addRow("%s: long", what) << agreement << QString(300, u'9');
    }
}

void TestBadInput::accountAndAgreementFieldsStoreWhatWasTyped()
{
    REQUIRE_TEST_SERVER();
    QFETCH(bool, agreement);
    QFETCH(QString, typed);
    for (const char* table : {"BoletoConvenio", "BoletoConta", "BoletoCedente"})
        m_admin.execute(u"delete from "_s + QLatin1String(table), {});
    m_admin.execute(u"insert into BoletoCedente (BCECODIGO, BCERAZAO) values (1, 'Alfa')"_s, {});
    if (agreement)
        m_admin.execute(u"insert into BoletoConta (BCOCODIGO, BCOCONTAID) values (1, '7')"_s, {});
    ScriptedDialogs dialogs;
    Tdm module(&dialogs);
    setUpModule(module, m_server, m_path);
    QWidget main;
    main.resize(1200, 700);
    QToolButton* include = nullptr;
    if (agreement)
        include = (new TfrmConvenio(&main))->btnIncluir;
    else
        include = (new TfrmConta(&main))->btnIncluir;
    main.show();

    Typed shown;
    onModal([&](QWidget* modal) {
        QVERIFY(modal->inherits(agreement ? "TfrmConvenioDados" : "TfrmContaDados"));
        shown = typeEverywhere(modal, typed);
        modal->findChild<QPushButton*>(u"btnGravar"_s)->click();
    });
    include->click();
    // Typed over, the CNAB standard is no "240": the wallet and contract
    // edits are shut (and empty) by then.
    QCOMPARE(shown.size(), agreement ? 11 : 7);
    VERIFY_DIALOGS(dialogs);
    verifyStored(agreement ? u"BoletoConvenio"_s : u"BoletoConta"_s,
                 agreement ? module.qrBoletoConvenio : module.qrBoletoConta, shown, typed);
}

QTEST_MAIN(TestBadInput)
#include "tst_badinput.moc"
