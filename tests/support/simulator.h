#pragma once

#include "platformjson.h"
#include "transport.h"

#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The throw-away certificates of scripts/test-ca, made once per test
// program in a temporary folder.
class TestCertificates
{
public:
    // Makes them; false (with error()) when the script fails.
    bool make();
    QString error() const { return m_error; }
    // "ca.pem", "server.key"...
    QString file(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QString m_error;
};

// One platform-sim process of the build tree, with its request log in a
// temporary folder of its own. Stopped (killed) when destroyed.
class Simulator
{
public:
    Simulator();
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Starts it on 127.0.0.1 with a free port, over HTTPS with the
    // certificate `certificate` ("server" for server.pem and server.key)
    // when `certificates` is given, otherwise over plain HTTP; `extra`
    // goes on its command line. False (with error()) when it does not
    // come up.
    bool start(const TestCertificates* certificates, const QString& certificate = QString(),
               const QStringList& extra = QStringList());
    void stop();
    QString error() const { return m_error; }

    // "https://127.0.0.1:PORT"
    QString baseUrl() const { return m_baseUrl; }
    QString dataDir() const { return m_dir.path(); }

    // The requests logged so far, one object per request.
    QList<QJsonObject> log() const;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_baseUrl;
    QString m_error;
};

// The program's four identification headers for a beneficiary's CNPJ.
std::vector<std::pair<QByteArray, QByteArray>> identificationHeaders(const QByteArray& cnpjCedente);

// A request the simulator accepts as it is: registers the beneficiary
// of CNPJ `cnpj` (14 characters).
HttpRequestData cedenteRegistration(const QString& baseUrl, const QString& cnpj);

// A request the simulator accepts as it is: registers an account of the
// beneficiary of CNPJ `cnpj`, which must be registered already. The reply's
// "_dados" "id" is the account's identifier.
HttpRequestData contaRegistration(const QString& baseUrl, const QString& cnpj);

// The members of the beneficiaries resource, texts taken from `values`
// in order (missing ones are "").
std::vector<RequestMember> cedenteMembers(const QStringList& values);

// The header values of a logged request, as (name, value) in order.
QList<std::pair<QString, QString>> loggedHeaders(const QJsonObject& entry);
