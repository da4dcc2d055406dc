// The whole chain from the windows, as a new user would go through it on
// the demo data: a company copied to a beneficiary and registered, an
// account included for it and registered, an agreement included for the
// account, registered and updated; against the platform simulator over
// HTTPS and a real database.
#include "curltransport.h"
#include "dbedit.h"
#include "dblookup.h"
#include "scripteddialogs.h"
#include "simulator.h"
#include "testserver.h"
#include "untCedente.h"
#include "untConta.h"
#include "untContaDados.h"
#include "untConvenio.h"
#include "untConvenioDados.h"
#include "untDM.h"

#include <QApplication>
#include <QJsonDocument>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace Qt::StringLiterals;

namespace {
// The data-entry window as the active window, as it is for a user.
template <typename Window> Window* active(QWidget* modal)
{
    auto* d = qobject_cast<Window*>(modal);
    if (d) {
        d->activateWindow();
        if (!QTest::qWaitFor([d] { return QGuiApplication::focusWindow() == d->windowHandle(); }))
            qWarning("the data-entry window did not become active");
    }
    return d;
}

void type(QLineEdit* edit, const QString& text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}
} // namespace

class TestWholeChain : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void beneficiaryAccountAgreement();

private:
    QString value(const QString& select);
    // Shows a list window in the stand-in main window; closed by its "Sair".
    template <typename Window> Window* open();

    TestServer m_server;
    QString m_path;
    Connection m_admin;
    TestCertificates m_certificates;
    Simulator m_sim;
    std::unique_ptr<CurlTransport> m_transport;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<Tdm> m_dm;
    std::unique_ptr<QWidget> m_main;
};

void TestWholeChain::initTestCase()
{
    QVERIFY2(m_certificates.make(), qPrintable(m_certificates.error()));
    if (!TestServer::available())
        QSKIP("no test server");
    m_server = TestServer::fromEnvironment();
    m_path = m_server.createDatabase(m_admin, u"wholechain"_s);
    m_admin.executeScript(readTextFile(sourcePath(u"data/demo.sql"_s)));
    QVERIFY2(m_sim.start(&m_certificates, u"server"_s), qPrintable(m_sim.error()));
    m_transport = std::make_unique<CurlTransport>(m_certificates.file(u"ca.pem"_s));
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_dm = std::make_unique<Tdm>(m_dialogs.get());
    m_server.useDatabase(*m_dm, m_path);
    m_dm->Plataforma.url = m_sim.baseUrl();
    m_dm->setTransport(m_transport.get());
    m_main = std::make_unique<QWidget>();
    m_main->resize(1200, 700);
    m_main->show();
}

void TestWholeChain::cleanup()
{
    if (m_dialogs)
        VERIFY_DIALOGS(*m_dialogs);
}

QString TestWholeChain::value(const QString& select)
{
    return queryText(m_admin, select);
}

template <typename Window> Window* TestWholeChain::open()
{
    auto* w = new Window(m_main.get());
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->resize(m_main->size());
    w->show();
    return w;
}

void TestWholeChain::beneficiaryAccountAgreement()
{
    // The first company of the demo becomes a beneficiary, registered.
    auto* cedentes = open<TfrmCedente>();
    m_dialogs->expectNotice(u"Cedente copiado com Sucesso.\r\rRevise e complete os dados antes "
                            u"de enviar para a Plataforma."_s);
    cedentes->btnCopiar->click();
    m_dialogs->expectNotice(u"Empresa Cadastrada com Sucesso.\rID: 1"_s);
    cedentes->btnRegistrar->click();
    VERIFY_DIALOGS(*m_dialogs);
    QCOMPARE(value(u"select BCEIDCEDENTE from BoletoCedente"_s), u"1"_s);
    cedentes->btnSair->click();

    // An account for it, chosen by name in the selector.
    auto* contas = open<TfrmConta>();
    onModal([](QWidget* modal) {
        auto* d = active<TfrmContaDados>(modal);
        QVERIFY(d);
        d->dbCedente->setFocus();
        QTest::keyClick(d->dbCedente, Qt::Key_Down);
        QTest::keyClick(d->dbCedente, Qt::Key_Tab);
        type(d->dbCodBanco, u"237"_s);
        type(d->dbAgencia, u"1234"_s);
        type(d->dbNumConta, u"56789"_s);
        type(d->dbCodBeneficiario, u"4321"_s);
        d->btnGravar->click();
    });
    contas->btnIncluir->click();
    QTRY_VERIFY(!frmContaDados);
    QCOMPARE(value(u"select BCECNPJ from BoletoConta"_s), u"12345678000195"_s);
    QCOMPARE(value(u"select BCEIDCEDENTE from BoletoConta"_s), u"1"_s);
    m_dialogs->expectNotice(u"Conta Cadastrada com Sucesso.\rID: 1"_s);
    contas->btnAPIRegistrar->click();
    VERIFY_DIALOGS(*m_dialogs);
    QCOMPARE(value(u"select BCOCONTAID from BoletoConta"_s), u"1"_s);
    contas->btnSair->click();

    // An agreement for the account: included, registered, updated.
    auto* convenios = open<TfrmConvenio>();
    onModal([](QWidget* modal) {
        auto* d = active<TfrmConvenioDados>(modal);
        QVERIFY(d);
        QCOMPARE(d->dbContaID->text(), u"1"_s);
        type(d->dbConvenioNum, u"provisorio"_s);
        type(d->dbConvenioDescr, u"Cobranca registrada"_s);
        d->btnGravar->click();
    });
    convenios->btnIncluir->click();
    QTRY_VERIFY(!frmConvenioDados);
    m_dialogs->expectNotice(u"Convênio Cadastrado com Sucesso.\rID: 1"_s);
    convenios->btnAPIRegistrar->click();
    VERIFY_DIALOGS(*m_dialogs);
    const QString numero = value(u"select BCVCONVENIONUMERO from BoletoConvenio"_s);
    QVERIFY(numero != u"provisorio"_s);
    QVERIFY(!value(u"select BCVCONVENIODATACRIADO from BoletoConvenio"_s).startsWith(u'<'));
    m_dialogs->expectNotice(u"Convênio Alterado com Sucesso.\rID: 1"_s);
    convenios->btnAPIAlterar->click();
    VERIFY_DIALOGS(*m_dialogs);
    convenios->btnSair->click();

    // The platform holds the chain as the program stored it.
    const QList<QJsonObject> log = m_sim.log();
    QCOMPARE(log.size(), 4);
    QCOMPARE(log.last()[u"path"_s].toString(), u"/api/v1/cedentes/contas/convenios/"_s + numero);
    const QJsonObject dados = QJsonDocument::fromJson(log.last()[u"reply"_s].toString().toUtf8())
                                  .object()[u"_dados"_s]
                                  .toObject();
    QCOMPARE(dados[u"conta"_s].toInt(), 1);
    QCOMPARE(dados[u"ConvenioDescricao"_s].toString(), u"Cobranca registrada"_s);
}

QTEST_MAIN(TestWholeChain)
#include "tst_wholechain.moc"
