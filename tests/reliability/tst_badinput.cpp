// Whatever a user types into the beneficiary's edits is stored as typed (cut
// to the column), read back the same, and never becomes part of a statement.
#include "dbedit.h"
#include "scripteddialogs.h"
#include "testserver.h"
#include "untCedente.h"
#include "untCedenteDados.h"
#include "untDM.h"

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
} // namespace

class TestBadInput : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void everyEditStoresWhatWasTyped_data();
    void everyEditStoresWhatWasTyped();

private:
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
    module.BcoDados.location().parse(m_server.databaseValue(m_path));
    module.BcoDados.SetUser(m_server.user);
    module.BcoDados.SetPassword(m_server.password);
    QWidget main;
    auto* frm = new TfrmCedente(&main);
    main.show();

    QList<std::pair<Field*, QString>> shown;
    onModal([&](QWidget* modal) {
        auto* d = qobject_cast<TfrmCedenteDados*>(modal);
        QVERIFY(d);
        for (DBEdit* e : d->findChildren<DBEdit*>()) {
            if (e->isReadOnly())
                continue;
            e->setFocus();
            type(e, typed);
            shown << std::make_pair(e->field(), e->text());
        }
        d->btnGravar->click();
    });
    frm->btnAltera->click(); // an empty list: a new beneficiary
    QCOMPARE(shown.size(), 12);
    VERIFY_DIALOGS(dialogs);

    int tables = 0;
    m_admin.query(u"select count(*) from rdb$relations where rdb$relation_name = 'BOLETOCEDENTE'"_s,
                  {}, {}, [&](const RowView& r) { tables = int(r.integer(0)); });
    QCOMPARE(tables, 1);
    for (const auto& [field, text] : shown) {
        // What the edit took is a prefix of what was typed, within the column.
        QVERIFY(typed.startsWith(text));
        QVERIFY(text.toUcs4().size() <= field->Size());
        QString stored;
        m_admin.query(u"select "_s + field->FieldName() + u" from BoletoCedente"_s, {}, {},
                      [&](const RowView& r) {
                          stored = QString::fromUtf8(r.utf8(0).data(), qsizetype(r.utf8(0).size()));
                      });
        QCOMPARE(stored, text);
    }
    // Read back through the program the same.
    module.qrBoletoCedente->Close();
    module.qrBoletoCedente->Open();
    for (const auto& [field, text] : shown)
        QCOMPARE(field->AsString(), text);
}

QTEST_MAIN(TestBadInput)
#include "tst_badinput.moc"
