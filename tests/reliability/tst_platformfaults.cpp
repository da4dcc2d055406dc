// Every platform operation from its window, against a platform that fails
// in every way we know of: one clear message, nothing changed in the
// database or on screen, the record set in browse state, and the same
// operation succeeding once the platform answers again.
#include "curltransport.h"
#include "dbgrid.h"
#include "scripteddialogs.h"
#include "simulator.h"
#include "testserver.h"
#include "untCedente.h"
#include "untConta.h"
#include "untConvenio.h"
#include "untDM.h"

#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {
const QString cnpjA = u"11111111000111"_s;
const QString cnpjB = u"22222222000122"_s;

// How the platform fails.
struct Fault
{
    const char* name;
    const char* certificate; // the simulator's; null: none runs (refused, unresolved)
    const char* fail;        // its --fail mode
    bool raises;             // no reply: the error box, naming the host
};
const Fault faults[] = {
    {"connection refused", nullptr, nullptr, true},
    {"name not resolved", nullptr, "unresolved", true},
    {"self-signed certificate", "untrusted", nullptr, true},
    {"expired certificate", "expired", nullptr, true},
    {"certificate for another host", "wronghost", nullptr, true},
    {"stall past the time-out", "server", "stall", true},
    {"connection cut mid-body", "server", "cut-body", true},
    {"20 MiB body", "server", "huge-body", true},
    {"500 with HTML", "server", "http500-html", false},
    {"500 with a JSON failure", "server", "http500-json", false},
    {"not JSON", "server", "not-json", false},
    {"empty body", "server", "empty-body", false},
    {"invalid UTF-8", "server", "bad-utf8", false},
    {"\"Sucesso\"", "server", "status-capital", false},
    {"\"sucesso\" without \"_dados\"", "server", "no-dados", false},
    {"\"_dados\" not an object", "server", "dados-not-object", false},
};

// One of the six operations: its window, the row it acts on, its button.
struct Operation
{
    const char* name;
    const char* table;
    const char* key;
    int codigo; // the record's key
    QString success;
};
const Operation operations[] = {
    {"register beneficiary", "BoletoCedente", "BCECODIGO", 2,
     u"Empresa Cadastrada com Sucesso.\rID: 2"_s},
    {"update beneficiary", "BoletoCedente", "BCECODIGO", 1,
     u"Empresa Alterada com Sucesso.\rID: 1"_s},
    {"register account", "BoletoConta", "BCOCODIGO", 2, u"Conta Cadastrada com Sucesso.\rID: 2"_s},
    {"update account", "BoletoConta", "BCOCODIGO", 1, u"Conta Alterada com Sucesso.\rID: 1"_s},
    {"register agreement", "BoletoConvenio", "BCVCODIGO", 1,
     u"Convênio Cadastrado com Sucesso.\rID: 2"_s},
    {"update agreement", "BoletoConvenio", "BCVCODIGO", 2,
     u"Convênio Alterado com Sucesso.\rID: 1"_s},
};
} // namespace

class TestPlatformFaults : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void faultChangesNothing_data();
    void faultChangesNothing();
    void oddMemberTypesAreStoredAsText_data();
    void oddMemberTypesAreStoredAsText();

private:
    // Opens the operation's window on its record; its button.
    QToolButton* openOperation(int operation);
    RecordSet* recordOf(int operation) const;
    QStringList storedRow(int operation);
    QStringList shownRow(int operation) const;

    TestServer m_server;
    QString m_path;
    Connection m_admin;
    TestCertificates m_certificates;
    QTemporaryDir m_stateDir;
    QString m_stateFile; // the registrations of the platform that answers
    std::unique_ptr<Simulator> m_good;
    std::unique_ptr<Simulator> m_bad;
    std::unique_ptr<CurlTransport> m_transport;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<Tdm> m_dm;
    std::unique_ptr<QWidget> m_main;
    DBGrid* m_grid = nullptr;
};

void TestPlatformFaults::initTestCase()
{
    QVERIFY2(m_certificates.make(), qPrintable(m_certificates.error()));
    if (!TestServer::available())
        return;
    m_server = TestServer::fromEnvironment();
    m_path = m_server.createDatabase(m_admin, u"platformfaults"_s);
}

void TestPlatformFaults::init()
{
    REQUIRE_TEST_SERVER();
    for (const char* table : {"BoletoConvenio", "BoletoConta", "BoletoCedente"})
        m_admin.execute(u"delete from "_s + QLatin1String(table), {});

    // The platform that answers: A registered (1), with its account (1)
    // and an agreement of it.
    m_good = std::make_unique<Simulator>();
    m_stateFile = m_stateDir.filePath(u"state.json"_s);
    QFile::remove(m_stateFile);
    QVERIFY2(m_good->start(&m_certificates, u"server"_s, {u"--state"_s, m_stateFile}),
             qPrintable(m_good->error()));
    m_transport = std::make_unique<CurlTransport>(m_certificates.file(u"ca.pem"_s));
    QVERIFY(PlatformReply(m_transport->send(cedenteRegistration(m_good->baseUrl(), cnpjA)))
                .isSuccess());
    QVERIFY(
        PlatformReply(m_transport->send(contaRegistration(m_good->baseUrl(), cnpjA))).isSuccess());

    const QString address = u"'Rua A', '100', 'Centro', '01001000', '3550308'"_s;
    m_admin.execute(u"insert into BoletoCedente (BCECODIGO, BCERAZAO, BCECNPJ, BCEIDCEDENTE, "
                    u"BCELOGRADOURO, BCENUMERO, BCEBAIRRO, BCECEP, BCECODIBGECIDADE) values "
                    u"(1, 'Alfa', '11111111000111', '1', "_s +
                        address + u")"_s,
                    {});
    m_admin.execute(u"insert into BoletoCedente (BCECODIGO, BCERAZAO, BCECNPJ, "
                    u"BCELOGRADOURO, BCENUMERO, BCEBAIRRO, BCECEP, BCECODIBGECIDADE) values "
                    u"(2, 'Beta', '22222222000122', "_s +
                        address + u")"_s,
                    {});
    for (const char* values : {"1, '1'", "2, null"})
        m_admin.execute(u"insert into BoletoConta (BCOCODIGO, BCOCONTAID, BCECNPJ, "
                        u"BCOCONTACODIGOBANCO, BCOCONTAAGENCIA, BCOCONTANUMERO, "
                        u"BCOCONTACODBENEFICIARIO) values ("_s +
                            QLatin1String(values) +
                            u", '11111111000111', '237', '1234', "
                            u"'5678', '9')"_s,
                        {});
    m_admin.execute(u"insert into BoletoConvenio (BCVCODIGO, BCOCONTAID, BCVCONVENIONUMERO, "
                    u"BCVCONVENIOCARTEIRACODIGO) values (1, '1', 'novo', '1')"_s,
                    {});

    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_dm = std::make_unique<Tdm>(m_dialogs.get());
    m_server.useDatabase(*m_dm, m_path);
    m_dm->setTransport(m_transport.get());
    m_main = std::make_unique<QWidget>();
    m_main->resize(1200, 700);

    // The agreement the platform knows, registered through the program.
    m_dm->Plataforma.url = m_good->baseUrl();
    m_admin.execute(u"insert into BoletoConvenio (BCVCODIGO, BCOCONTAID, BCVCONVENIONUMERO) "
                    u"values (2, '1', 'registrado')"_s,
                    {});
    QToolButton* registering = openOperation(4);
    m_dm->qrBoletoConvenio->SetRecNo(1);
    m_dialogs->expectNotice(u"Convênio Cadastrado com Sucesso.\rID: 1"_s);
    registering->click();
    VERIFY_DIALOGS(*m_dialogs);
    m_dialogs->clear();
    // Updated since, by someone else.
    m_admin.execute(u"update BoletoConvenio set BCVCONVENIODATAATUALIZADO = 'antes'"_s, {});
    m_main = std::make_unique<QWidget>(); // the window goes with it
    m_main->resize(1200, 700);
}

void TestPlatformFaults::cleanup()
{
    // Everything goes even when a check below fails: the windows before
    // the data module they show.
    const QStringList problems = m_dialogs ? m_dialogs->problems() : QStringList();
    m_main.reset();
    m_dm.reset();
    m_dialogs.reset();
    m_bad.reset();
    m_good.reset();
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
}

QToolButton* TestPlatformFaults::openOperation(int operation)
{
    const bool registering = operation % 2 == 0;
    QToolButton* button = nullptr;
    switch (operation / 2) {
    case 0: {
        auto* w = new TfrmCedente(m_main.get());
        m_grid = w->RxDBGrid1;
        button = registering ? w->btnRegistrar : w->btnAPIAlterar;
        break;
    }
    case 1: {
        auto* w = new TfrmConta(m_main.get());
        m_grid = w->RxDBGrid1;
        button = registering ? w->btnAPIRegistrar : w->btnAPIAlterar;
        break;
    }
    default: {
        auto* w = new TfrmConvenio(m_main.get());
        m_grid = w->RxDBGrid1;
        button = registering ? w->btnAPIRegistrar : w->btnAPIAlterar;
        break;
    }
    }
    m_main->show();
    RecordSet* set = recordOf(operation);
    const Operation& op = operations[operation];
    if (!set->Locate(QLatin1String(op.key), QString::number(op.codigo)))
        qWarning("no record %d in %s", op.codigo, op.table);
    return button;
}

RecordSet* TestPlatformFaults::recordOf(int operation) const
{
    switch (operation / 2) {
    case 0:
        return m_dm->qrBoletoCedente;
    case 1:
        return m_dm->qrBoletoConta;
    default:
        return m_dm->qrBoletoConvenio;
    }
}

QStringList TestPlatformFaults::storedRow(int operation)
{
    const Operation& op = operations[operation];
    const QString table = QString::fromLatin1(op.table).toUpper();
    QStringList columns;
    m_admin.query(u"select trim(rdb$field_name) from rdb$relation_fields "
                  u"where rdb$relation_name = ? order by rdb$field_position"_s,
                  {SqlValue::fromText(table)}, {}, [&](const RowView& r) {
                      columns << u"cast("_s +
                                     QString::fromUtf8(r.utf8(0).data(),
                                                       qsizetype(r.utf8(0).size())) +
                                     u" as varchar(300))"_s;
                  });
    QStringList row;
    m_admin.query(u"select "_s + columns.join(u", "_s) + u" from "_s + table + u" where "_s +
                      QLatin1String(op.key) + u" = ?"_s,
                  {SqlValue::fromInteger(op.codigo)}, {}, [&](const RowView& r) {
                      for (int c = 0; c < columns.size(); ++c)
                          row << (r.isNull(c) ? u"<null>"_s
                                              : QString::fromUtf8(r.utf8(c).data(),
                                                                  qsizetype(r.utf8(c).size())));
                  });
    return row;
}

QStringList TestPlatformFaults::shownRow(int) const
{
    QStringList row;
    QAbstractItemModel* model = m_grid->model();
    const int current = m_grid->currentIndex().row();
    for (int c = 0; c < model->columnCount(); ++c)
        row << model->index(current, c).data().toString();
    return row;
}

void TestPlatformFaults::faultChangesNothing_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<int>("fault");
    for (int o = 0; o < int(std::size(operations)); ++o)
        for (int f = 0; f < int(std::size(faults)); ++f)
            QTest::addRow("%s: %s", operations[o].name, faults[f].name) << o << f;
}

void TestPlatformFaults::faultChangesNothing()
{
    QFETCH(int, operation);
    QFETCH(int, fault);
    const Fault& how = faults[fault];

    QString badUrl;
    if (how.certificate) {
        m_bad = std::make_unique<Simulator>();
        QVERIFY2(m_bad->start(&m_certificates, QLatin1String(how.certificate),
                              how.fail ? QStringList{u"--fail"_s, QLatin1String(how.fail)}
                                       : QStringList()),
                 qPrintable(m_bad->error()));
        badUrl = m_bad->baseUrl();
    } else if (how.fail) {
        badUrl = u"https://plataforma.invalid"_s;
    } else {
        Simulator gone;
        QVERIFY(gone.start(&m_certificates, u"server"_s));
        badUrl = gone.baseUrl();
    }                                     // stopped here: nobody listens on its port
    m_transport->setTotalTimeoutMs(2000); // the stall ends quickly

    m_dm->Plataforma.url = badUrl;
    QToolButton* button = openOperation(operation);
    RecordSet* set = recordOf(operation);
    const QStringList stored = storedRow(operation);
    const QStringList shown = shownRow(operation);
    const int row = set->RecNo();

    button->click();
    QCOMPARE(m_dialogs->shown.size(), 1);
    const ScriptedDialogs::Box box = m_dialogs->shown[0];
    QCOMPARE(box.kind, how.raises ? ScriptedDialogs::Kind::Error : ScriptedDialogs::Kind::Notice);
    QVERIFY(!box.text.trimmed().isEmpty());
    QVERIFY2(box.text.size() < 2000, qPrintable(box.text.left(200)));
    if (how.raises) {
        const QString host = QUrl(badUrl).host();
        QVERIFY2(box.text.contains(host), qPrintable(box.text));
    }
    m_dialogs->clear();
    QCOMPARE(set->State(), dsBrowse);
    QCOMPARE(set->RecNo(), row);
    QCOMPARE(storedRow(operation), stored);
    QCOMPARE(shownRow(operation), shown);

    // The platform is back: the same operation goes through.
    m_dm->Plataforma.url = m_good->baseUrl();
    m_dialogs->expectNotice(operations[operation].success);
    button->click();
    VERIFY_DIALOGS(*m_dialogs);
    QVERIFY(storedRow(operation) != stored);
    QCOMPARE(set->State(), dsBrowse);
}

void TestPlatformFaults::oddMemberTypesAreStoredAsText_data()
{
    QTest::addColumn<int>("operation");
    for (int o = 0; o < int(std::size(operations)); ++o)
        QTest::addRow("%s", operations[o].name) << o;
}

void TestPlatformFaults::oddMemberTypesAreStoredAsText()
{
    // A success whose members are objects, lists, null, numbers and
    // booleans: taken as the platform's texts, cut to the columns.
    QFETCH(int, operation);
    m_bad = std::make_unique<Simulator>();
    QVERIFY(m_bad->start(&m_certificates, u"server"_s,
                         {u"--fail"_s, u"odd-members"_s, u"--state"_s, m_stateFile}));
    m_dm->Plataforma.url = m_bad->baseUrl();
    QToolButton* button = openOperation(operation);
    RecordSet* set = recordOf(operation);
    button->click();
    QCOMPARE(m_dialogs->shown.size(), 1);
    QVERIFY2(m_dialogs->shown[0].text.contains(u"com Sucesso.\rID: "_s),
             qPrintable(m_dialogs->shown[0].text));
    m_dialogs->clear();
    QCOMPARE(set->State(), dsBrowse);
    // What is stored is what the program shows.
    set->Close();
    set->Open();
    QVERIFY(set->Locate(QLatin1String(operations[operation].key),
                        QString::number(operations[operation].codigo)));
    QCOMPARE(shownRow(operation).size(), m_grid->model()->columnCount());
}

QTEST_MAIN(TestPlatformFaults)
#include "tst_platformfaults.moc"
