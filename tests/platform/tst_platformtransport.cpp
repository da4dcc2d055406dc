// The curl transport against platform-sim over real HTTPS with a test CA:
// what reaches the server, what comes back, every way of getting no reply,
// which authorities are trusted, and libcurl loaded only by a request.
#include "busy.h"
#include "curltransport.h"
#include "errors.h"
#include "simulator.h"
#include "testserver.h"
#include "untDM.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

class TestPlatformTransport : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void libcurlLoadedByTheFirstRequest(); // first: no request may come before it
    void headersInOrderOnEveryRequest();
    void replyReturnedWholeWhateverTheStatus_data();
    void replyReturnedWholeWhateverTheStatus();
    void noReplyRaisesAClearError_data();
    void noReplyRaisesAClearError();
    void plainHttpOnlyForThisComputer_data();
    void plainHttpOnlyForThisComputer();
    void unreadableCaFileIsNamed();
    void caFileTrustedBesidesTheSystemsAuthorities_data();
    void caFileTrustedBesidesTheSystemsAuthorities();

private:
    TestCertificates m_certificates;
};

void TestPlatformTransport::initTestCase()
{
    QVERIFY2(m_certificates.make(), qPrintable(m_certificates.error()));
}

// The program creates its transport at start; libcurl, with the libraries
// it brings along, is loaded only when the first request is sent.
void TestPlatformTransport::libcurlLoadedByTheFirstRequest()
{
#ifndef Q_OS_LINUX
    QSKIP("reads the loaded libraries from /proc/self/maps");
#else
    const auto curlLoaded = [] {
        QFile maps(u"/proc/self/maps"_s);
        return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("/libcurl");
    };
    QVERIFY(!curlLoaded());
    CurlTransport transport(m_certificates.file(u"ca.pem"_s));
    QVERIFY(!curlLoaded());

    Simulator sim;
    QVERIFY2(sim.start(&m_certificates, u"server"_s), qPrintable(sim.error()));
    const QByteArray reply =
        transport.send(cedenteRegistration(sim.baseUrl(), u"12345678000195"_s));
    QCOMPARE(PlatformReply(reply).status(), u"sucesso"_s);
    QVERIFY(curlLoaded());
#endif
}

// Through the data module: the four identification headers, in order and
// once each, on every request; "cnpj-cedente" as qrBoletoCedente stands
// at the moment of the call; each request an exchange of its own.
void TestPlatformTransport::headersInOrderOnEveryRequest()
{
    REQUIRE_TEST_SERVER();
    Simulator sim;
    QVERIFY2(sim.start(&m_certificates, u"server"_s), qPrintable(sim.error()));

    const TestServer server = TestServer::fromEnvironment();
    RecordingNotices notices;
    Tdm dm(&notices);
    server.createDatabase(dm.BcoDados, u"transport"_s);
    CurlTransport transport(m_certificates.file(u"ca.pem"_s));
    dm.setTransport(&transport);

    dm.qrBoletoCedente->Open();
    dm.qrBoletoCedente->Append();
    dm.qrBoletoCedenteBCECNPJ->SetAsString(u"12345678000195"_s);
    dm.qrBoletoCedente->Post();

    int busyOn = 0, busyOff = 0;
    setBusyHook([&](bool on) { (on ? busyOn : busyOff)++; });
    const auto resetHook = qScopeGuard([] { setBusyHook(nullptr); });

    const QString name = u"Açaí \"Norte\"/Sul"_s;
    const QString body =
        RequestObject(cedenteMembers({name, u"12345678000195"_s, QString(), u"Rua A"_s, u"1"_s,
                                      QString(), QString(), u"01001000"_s, u"3550308"_s}))
            .bodyText();
    const QString cedentes = sim.baseUrl() + u"/api/v1/cedentes/"_s;
    const QByteArray registered =
        dm.HttpRequest(body, u"POST"_s, cedentes, 10000, u"application/json"_s);
    const PlatformReply reply(registered);
    QVERIFY2(reply.isSuccess(), qPrintable(reply.failureText()));
    QCOMPARE(reply.dataText("CedenteRazaoSocial"), name); // escaped on the way out, UTF-8 back
    const QByteArray updated = dm.HttpRequest(body, u"PUT"_s, cedentes + reply.dataText("id"),
                                              10000, u"application/json"_s);
    dm.qrBoletoCedente->Close();
    const QByteArray closed =
        dm.HttpRequest(u"{}"_s, u"POST"_s, cedentes, 10000, u"application/json"_s);

    const QList<QJsonObject> log = sim.log();
    QCOMPARE(log.size(), 3);
    const QList<QByteArray> replies = {registered, updated, closed};
    const QStringList cnpjs = {u"12345678000195"_s, u"12345678000195"_s, QString()};
    const QStringList methods = {u"POST"_s, u"PUT"_s, u"POST"_s};
    const QList<QByteArray> bodies = {body.toUtf8(), body.toUtf8(), "{}"};
    for (int i = 0; i < log.size(); ++i) {
        const QJsonObject& entry = log.at(i);
        QCOMPARE(entry.value(u"header_order"_s).toString(), u"wire"_s);
        QCOMPARE(entry.value(u"method"_s).toString(), methods.at(i));
        QCOMPARE(QByteArray::fromBase64(entry.value(u"body_base64"_s).toString().toLatin1()),
                 bodies.at(i));
        QCOMPARE(entry.value(u"reply"_s).toString().toUtf8(), replies.at(i));

        const QList<std::pair<QString, QString>> expected = {
            {u"Content-Type"_s, u"application/json"_s},
            {u"cnpj-sh"_s, u"58204617000290"_s},
            {u"token-sh"_s, u"b3f9e07a5d21c48f96a0e3d7152bc94e"_s},
            {u"cnpj-cedente"_s, cnpjs.at(i)}};
        QList<std::pair<QString, QString>> ours; // the program's own, in the order sent
        for (const auto& header : loggedHeaders(entry))
            for (const auto& wanted : expected)
                if (header.first.compare(wanted.first, Qt::CaseInsensitive) == 0)
                    ours << header;
        QCOMPARE(ours, expected);
    }
    QCOMPARE(log.at(1).value(u"path"_s).toString(), u"/api/v1/cedentes/1"_s);
    QCOMPARE(PlatformReply(updated).status(), u"sucesso"_s);
    QCOMPARE(PlatformReply(closed).status(), u"erro"_s); // no beneficiary named
    // A new connection for every request.
    QVERIFY(log.at(0).value(u"remote_port"_s) != log.at(1).value(u"remote_port"_s));
    QVERIFY(log.at(1).value(u"remote_port"_s) != log.at(2).value(u"remote_port"_s));
    QCOMPARE(busyOn, 3);
    QCOMPARE(busyOff, 3);
    QCOMPARE(notices.texts, QStringList());
}

void TestPlatformTransport::replyReturnedWholeWhateverTheStatus_data()
{
    QTest::addColumn<QString>("fail");
    QTest::addColumn<QByteArray>("token");
    QTest::addColumn<int>("status");

    const QByteArray token = "b3f9e07a5d21c48f96a0e3d7152bc94e";
    QTest::newRow("201 registered") << QString() << token << 201;
    QTest::newRow("401 refused, JSON") << QString() << QByteArray("errado") << 401;
    QTest::newRow("409 refused, JSON (registered twice)") << QString() << token << 409;
    QTest::newRow("500, JSON") << u"http500-json"_s << token << 500;
    QTest::newRow("500, HTML") << u"http500-html"_s << token << 500;
    QTest::newRow("200, plain text") << u"not-json"_s << token << 200;
    QTest::newRow("200, empty") << u"empty-body"_s << token << 200;
}

void TestPlatformTransport::replyReturnedWholeWhateverTheStatus()
{
    QFETCH(QString, fail);
    QFETCH(QByteArray, token);
    QFETCH(int, status);

    Simulator sim;
    QVERIFY2(sim.start(&m_certificates, u"server"_s,
                       fail.isEmpty() ? QStringList() : QStringList{u"--fail"_s, fail}),
             qPrintable(sim.error()));
    CurlTransport transport(m_certificates.file(u"ca.pem"_s));
    HttpRequestData request = cedenteRegistration(sim.baseUrl(), u"12345678000195"_s);
    request.headers[2].second = token;
    if (status == 409)
        transport.send(request);

    const QByteArray reply = transport.send(request);
    const QJsonObject entry = sim.log().constLast();
    QCOMPARE(entry.value(u"status"_s).toInt(), status);
    QCOMPARE(reply, entry.value(u"reply"_s).toString().toUtf8());
    QCOMPARE(reply.isEmpty(), fail == u"empty-body"_s);
}

void TestPlatformTransport::noReplyRaisesAClearError_data()
{
    QTest::addColumn<QString>("certificate"); // the server's
    QTest::addColumn<QString>("fail");
    QTest::addColumn<bool>("serverGone");
    QTest::addColumn<QString>("expected"); // part of the message

    QTest::newRow("self-signed certificate")
        << u"untrusted"_s << QString() << false << u"self-signed certificate"_s;
    QTest::newRow("expired certificate")
        << u"expired"_s << QString() << false << u"certificate has expired"_s;
    QTest::newRow("certificate for another host")
        << u"wronghost"_s << QString() << false << u"target host name"_s;
    QTest::newRow("connection refused") << u"server"_s << QString() << true << u"connect"_s;
    QTest::newRow("stall past the time-out")
        << u"server"_s << u"stall"_s << false << u"timed out"_s;
    QTest::newRow("connection closed mid-body")
        << u"server"_s << u"cut-body"_s << false << u"transfer closed"_s;
    QTest::newRow("20 MiB with Content-Length")
        << u"server"_s << u"huge-body"_s << false << u"passa de 16 MiB e foi recusada"_s;
    QTest::newRow("20 MiB in chunks")
        << u"server"_s << u"huge-chunked"_s << false << u"passa de 16 MiB e foi recusada"_s;
}

void TestPlatformTransport::noReplyRaisesAClearError()
{
    QFETCH(QString, certificate);
    QFETCH(QString, fail);
    QFETCH(bool, serverGone);
    QFETCH(QString, expected);

    Simulator sim;
    QVERIFY2(sim.start(&m_certificates, certificate,
                       fail.isEmpty() ? QStringList() : QStringList{u"--fail"_s, fail}),
             qPrintable(sim.error()));
    if (serverGone)
        sim.stop();
    CurlTransport transport(m_certificates.file(u"ca.pem"_s));
    transport.setTotalTimeoutMs(1500);
    HttpRequestData request = cedenteRegistration(sim.baseUrl(), u"12345678000195"_s);
    request.connectTimeoutMs = 3000;

    QString message;
    try {
        transport.send(request);
    } catch (const Failure& e) {
        message = e.message();
    }
    QVERIFY2(message.contains(expected, Qt::CaseInsensitive), qPrintable(message));
    QVERIFY2(message.contains(u"(127.0.0.1)"_s), qPrintable(message));
}

void TestPlatformTransport::plainHttpOnlyForThisComputer_data()
{
    QTest::addColumn<QString>("url"); // %1: the simulator's port
    QTest::addColumn<bool>("accepted");

    QTest::newRow("http://127.0.0.1") << u"http://127.0.0.1:%1/api/v1/cedentes/"_s << true;
    QTest::newRow("http://localhost") << u"http://localhost:%1/api/v1/cedentes/"_s << true;
    QTest::newRow("http to another host")
        << u"http://plataforma.example:%1/api/v1/cedentes/"_s << false;
    QTest::newRow("127 as part of a name")
        << u"http://127.0.0.1.example:%1/api/v1/cedentes/"_s << false;
    QTest::newRow("another scheme") << u"ftp://127.0.0.1:%1/api/v1/cedentes/"_s << false;
}

void TestPlatformTransport::plainHttpOnlyForThisComputer()
{
    QFETCH(QString, url);
    QFETCH(bool, accepted);

    Simulator sim;
    QVERIFY2(sim.start(nullptr), qPrintable(sim.error()));
    const QString port = sim.baseUrl().section(u':', -1);
    CurlTransport transport;
    HttpRequestData request = cedenteRegistration(sim.baseUrl(), u"12345678000195"_s);
    request.url = url.arg(port);

    if (accepted) {
        QCOMPARE(PlatformReply(transport.send(request)).status(), u"sucesso"_s);
        QCOMPARE(sim.log().size(), 1);
    } else {
        QVERIFY_THROWS_EXCEPTION(Failure, transport.send(request));
        QCOMPARE(sim.log().size(), 0);
    }
}

void TestPlatformTransport::unreadableCaFileIsNamed()
{
    CurlTransport transport(m_certificates.file(u"missing.pem"_s));
    HttpRequestData request = cedenteRegistration(u"https://127.0.0.1:9"_s, u"12345678000195"_s);
    try {
        transport.send(request);
        QFAIL("sent without its authorities");
    } catch (const Failure& e) {
        QVERIFY2(e.message().contains(u"missing.pem"_s), qPrintable(e.message()));
    }
}

void TestPlatformTransport::caFileTrustedBesidesTheSystemsAuthorities_data()
{
    QTest::addColumn<QString>("caFile");         // of Connect.ini; "" for none
    QTest::addColumn<bool>("authorityInFolder"); // the system's, for the test
    QTest::addColumn<bool>("accepted");

    // untrusted.pem vouches for nothing the server shows.
    QTest::newRow("authority in the file only") << u"ca.pem"_s << false << true;
    QTest::newRow("authority among the system's, another in the file")
        << u"untrusted.pem"_s << true << true;
    QTest::newRow("authority among the system's, no file") << QString() << true << true;
    QTest::newRow("authority in neither") << u"untrusted.pem"_s << false << false;
}

void TestPlatformTransport::caFileTrustedBesidesTheSystemsAuthorities()
{
    QFETCH(QString, caFile);
    QFETCH(bool, authorityInFolder);
    QFETCH(bool, accepted);

    // A hashed folder, as the system's /etc/ssl/certs.
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    if (authorityInFolder) {
        QVERIFY(QFile::copy(m_certificates.file(u"ca.pem"_s), folder.filePath(u"ca.pem"_s)));
        QProcess rehash;
        rehash.start(u"openssl"_s, {u"rehash"_s, folder.path()});
        QVERIFY(rehash.waitForFinished(30000) && rehash.exitCode() == 0);
    }

    Simulator sim;
    QVERIFY2(sim.start(&m_certificates, u"server"_s), qPrintable(sim.error()));
    CurlTransport transport(caFile.isEmpty() ? QString() : m_certificates.file(caFile));
    transport.setSystemCaFolder(folder.path());
    const HttpRequestData request = cedenteRegistration(sim.baseUrl(), u"12345678000195"_s);
    if (accepted) {
        QCOMPARE(PlatformReply(transport.send(request)).status(), u"sucesso"_s);
    } else {
        try {
            transport.send(request);
            QFAIL("a certificate no trusted authority signed was accepted");
        } catch (const Failure& e) {
            QVERIFY2(e.message().contains(u"certificate"_s), qPrintable(e.message()));
        }
        QCOMPARE(sim.log().size(), 0);
    }
}

QTEST_GUILESS_MAIN(TestPlatformTransport)
#include "tst_platformtransport.moc"
