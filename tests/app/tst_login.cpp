// The login window against a real users table.
#include "application.h"
#include "scripteddialogs.h"
#include "testserver.h"
#include "untDM.h"
#include "untLogin.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {
const QString invalid = u"Senha Inválida...\r\rConsulte o Responsável pelo Sistema."_s;
const QString denied = u"Acesso Negado...\r\rExcesso de Tentativas Inválidas."_s;
} // namespace

class TestLogin : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void windowLayout();
    void attempts_data();
    void attempts();
    void threeWrongPasswordsEndTheApplication();
    void enterMovesToEntrarWithoutAnAttempt();
    void leavingWithoutSuccessEndsSilently_data();
    void leavingWithoutSuccessEndsSilently();
    void databaseErrorDoesNotCountAndKeepsTheText();

private:
    void type(const QString& text);
    TestServer m_server;
    QString m_path;
    RecordingNotices m_notices;
    std::unique_ptr<Tdm> m_dm;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    QPointer<TfrmLogin> m_login;
    int m_quits = 0;
};

void TestLogin::initTestCase()
{
    Application::setQuitHook([this] { ++m_quits; });
    if (!TestServer::available())
        return;
    m_server = TestServer::fromEnvironment();
    Connection admin;
    m_path = m_server.createDatabase(admin, u"login"_s);
    admin.executeScript(
        u"insert into usuarios (CODIGO, NOME, SENHA) values ('1', 'Ana', '1234');"
        u"insert into usuarios (CODIGO, NOME, SENHA) values ('2', 'Bia', '');"
        u"insert into usuarios (CODIGO, NOME, SENHA) values ('3', 'Caio', 'dup');"
        u"insert into usuarios (CODIGO, NOME, SENHA) values ('4', 'Davi', 'dup');"
        u"insert into usuarios (CODIGO, NOME, SENHA) values ('5', 'Eva', 'a''b c');"_s);
}

void TestLogin::init()
{
    REQUIRE_TEST_SERVER();
    Application::reset();
    m_quits = 0;
    m_dm = std::make_unique<Tdm>(&m_notices);
    m_server.useDatabase(*m_dm, m_path);
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_login = new TfrmLogin;
    m_login->show();
    QVERIFY(QTest::qWaitForWindowActive(m_login));
}

void TestLogin::cleanup()
{
    if (m_dialogs)
        VERIFY_DIALOGS(*m_dialogs);
    delete m_login;
    m_dialogs.reset();
    m_dm.reset();
}

void TestLogin::type(const QString& text)
{
    m_login->edtSenha->setFocus();
    QTest::keyClicks(m_login->edtSenha, text);
}

void TestLogin::windowLayout()
{
    QCOMPARE(m_login->windowTitle(), u"Acesso ao Sistema"_s);
    QCOMPARE(m_login->lblSenha->text(), u"Senha:"_s);
    QCOMPARE(m_login->lblSenha->buddy(), m_login->edtSenha);
    QCOMPARE(m_login->edtSenha->echoMode(), QLineEdit::Password);
    QCOMPARE(m_login->edtSenha->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr,
                                                   m_login->edtSenha),
             int('|'));
    QCOMPARE(m_login->btnEntrar->text(), u"&Entrar"_s);
    QCOMPARE(m_login->btnCancelar->text(), u"&Cancelar"_s);
    QVERIFY(!m_login->btnEntrar->icon().isNull());
    QVERIFY(!m_login->btnCancelar->icon().isNull());
    QVERIFY(!m_login->btnEntrar->isDefault());
    QVERIFY(!m_login->btnCancelar->isDefault());
    QVERIFY(m_login->edtSenha->hasFocus());
    QVERIFY(!(m_login->windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(m_login->windowFlags() & Qt::WindowMaximizeButtonHint));
    // Tab order: password, Entrar, Cancelar.
    QCOMPARE(m_login->edtSenha->nextInFocusChain(), m_login->btnEntrar);
    QCOMPARE(m_login->btnEntrar->nextInFocusChain(), m_login->btnCancelar);
}

void TestLogin::attempts_data()
{
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QString>("user"); // empty: the last attempt fails too

    QTest::newRow("right on the first") << QStringList{u"1234"_s} << u"Ana"_s;
    QTest::newRow("right on the second") << QStringList{u"x"_s, u"1234"_s} << u"Ana"_s;
    QTest::newRow("right on the third") << QStringList{u"x"_s, u"y"_s, u"1234"_s} << u"Ana"_s;
    QTest::newRow("quote and blank as typed") << QStringList{u"a'b c"_s} << u"Eva"_s;
    QTest::newRow("nothing typed matches the empty password") << QStringList{u""_s} << u"Bia"_s;
    QTest::newRow("not trimmed") << QStringList{u" 1234"_s} << QString();
    QTest::newRow("case counts") << QStringList{u"A'B C"_s} << QString();
    QTest::newRow("two users share it") << QStringList{u"dup"_s} << QString();
    QTest::newRow("longer than any password") << QStringList{u"1234567890"_s} << QString();
    QTest::newRow("quote injection") << QStringList{u"' or 1"_s} << QString();
}

void TestLogin::attempts()
{
    QFETCH(QStringList, typed);
    QFETCH(QString, user);
    const int failures = user.isEmpty() ? int(typed.size()) : int(typed.size()) - 1;
    for (int i = 0; i < failures; ++i)
        m_dialogs->expectNotice(invalid);

    for (const QString& password : typed) {
        type(password);
        m_login->btnEntrar->click();
        if (!m_login->isVisible())
            break;
        QCOMPARE(m_login->edtSenha->text(), QString());
        QVERIFY(m_login->edtSenha->hasFocus());
    }
    QCOMPARE(tentativa, failures);
    QCOMPARE(acesso, !user.isEmpty());
    QCOMPARE(m_login->isVisible(), user.isEmpty());
    QVERIFY(!Application::Terminated());
    if (!user.isEmpty()) {
        QCOMPARE(m_login->result(), int(QDialog::Accepted));
        QCOMPARE(m_dm->qrUsuario->RecordCount(), 1);
        QCOMPARE(m_dm->qrUsuarioNOME->AsString(), user);
    }
}

void TestLogin::threeWrongPasswordsEndTheApplication()
{
    m_dialogs->expectNotice(invalid);
    m_dialogs->expectNotice(invalid);
    m_dialogs->expectNotice(invalid);
    m_dialogs->expectNotice(denied);
    for (const QString& p : {u"a"_s, u"dup"_s, u"c"_s}) {
        QVERIFY(!Application::Terminated());
        type(p);
        m_login->btnEntrar->click();
    }
    QVERIFY(Application::Terminated());
    QCOMPARE(m_quits, 1);
    QVERIFY(!m_login->isVisible());
    QVERIFY(!acesso);
}

void TestLogin::enterMovesToEntrarWithoutAnAttempt()
{
    type(u"1234"_s);
    QTest::keyClick(m_login->edtSenha, Qt::Key_Return);
    QVERIFY(m_login->btnEntrar->hasFocus());
    QVERIFY(m_login->isVisible());
    QCOMPARE(m_login->edtSenha->text(), u"1234"_s);
    QCOMPARE(m_dm->qrUsuario->State(), dsInactive); // no attempt was made
    QVERIFY(!m_login->btnEntrar->isDefault());
    // A second Enter presses the focused button.
    QTest::keyClick(m_login->btnEntrar, Qt::Key_Return);
    QVERIFY(acesso);
    QVERIFY(!m_login->isVisible());
}

void TestLogin::leavingWithoutSuccessEndsSilently_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancelar") << "button";
    QTest::newRow("Esc") << "esc";
    QTest::newRow("Alt+C") << "alt";
    QTest::newRow("close box") << "close";
}

void TestLogin::leavingWithoutSuccessEndsSilently()
{
    QFETCH(QString, how);
    type(u"typed"_s);
    if (how == u"esc") {
        // Enter on a focused Cancelar presses it too; Esc works from anywhere.
        QTest::keyClick(m_login->edtSenha, Qt::Key_Tab);
    }
    if (how == u"button")
        m_login->btnCancelar->click();
    else if (how == u"esc")
        QTest::keyClick(m_login->edtSenha, Qt::Key_Escape);
    else if (how == u"alt")
        QTest::keyClick(m_login, Qt::Key_C, Qt::AltModifier);
    else
        m_login->close();
    QTRY_VERIFY(Application::Terminated()); // a mnemonic clicks after a moment
    QCOMPARE(m_quits, 1);
    QTRY_VERIFY(!m_login); // closed and released
    QCOMPARE(m_dialogs->shown.size(), 0);
}

void TestLogin::databaseErrorDoesNotCountAndKeepsTheText()
{
    m_dm->BcoDados.Disconnect();
    m_dm->BcoDados.SetDatabase(m_server.directory + u"/no-such-database.fdb"_s);
    type(u"1234"_s);
    m_dialogs->expectError(u"no-such-database"_s);
    m_login->btnEntrar->click();
    QCOMPARE(tentativa, 0);
    QVERIFY(m_login->isVisible());
    QCOMPARE(m_login->edtSenha->text(), u"1234"_s);
    QVERIFY(!Application::Terminated());

    // The database is back: the same text logs in.
    m_dm->BcoDados.SetDatabase(m_path);
    m_login->btnEntrar->click();
    QVERIFY(acesso);
}

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
