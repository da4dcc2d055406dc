#pragma once

#include "connection.h"
#include "formatsettings.h"
#include "recordset.h"
#include "tables.h"

#include <QByteArray>
#include <QDate>

#include <QObject>
#include <QString>

class RequestTransport;
class UserNotices;

// Where the platform is: read from the optional section "PLATAFORMA" of
// Connect.ini, keys "url" and "ca".
struct PlatformSettings
{
    // The homologation host is not public; a reserved name stands for it
    // until Connect.ini names the real one.
    static QString defaultUrl()
    {
        return QStringLiteral("https://homologacao.plataforma-boletos.example");
    }
    QString url = defaultUrl(); // no trailing slash
    QString caFile;             // extra trusted certificate authorities (PEM); empty: none
};

// The data module: the database connection, every record set with its
// field objects and data source, and the key allocation of new rows. It
// lives for the whole run.
class Tdm : public QObject
{
    Q_OBJECT
public:
    // The text a key of Connect.ini reads as when it (or the file) is missing.
    static QString missingValue() { return QStringLiteral("Erro ao ler o valor"); }

    explicit Tdm(UserNotices* notices, QObject* parent = nullptr);
    ~Tdm() override;

    // Reads Connect.ini from the configuration folder, configures and opens
    // the connection, then builds FormatoDiaMesAno. A failure is shown in a
    // notice and start-up goes on.
    void DataModuleCreate();

    // Where Connect.ini is read from: the executable's folder unless a test
    // says otherwise. The working directory plays no part.
    QString configDirectory() const;
    void setConfigDirectory(const QString& directory) { m_configDirectory = directory; }
    QString configFilePath() const;

    UserNotices* notices() const { return m_notices; }

    PlatformSettings Plataforma;

    // One request to the platform with the four identification headers;
    // "cnpj-cedente" is BCECNPJ of the current row of qrBoletoCedente at
    // this moment. Returns the whole reply body whatever the HTTP status.
    QByteArray HttpRequest(const QString& aBody, const QString& aMethod, const QString& aURL,
                           int aTimeout, const QString& aContentType);
    void setTransport(RequestTransport* transport) { m_transport = transport; }
    RequestTransport* transport() const { return m_transport; }

    Connection BcoDados;

    RecordSet* qrUsuario;
    RecordSet* qrEmpresa;
    RecordSet* qrBoletoCedente;
    RecordSet* qrBoletoConta;
    RecordSet* qrBoletoConvenio;
    RecordSet* qrAux;

    UpdateSql updEmpresa; // only the delete statement
    UpdateSql updBoletoCedente;
    UpdateSql updBoletoConta;
    UpdateSql updBoletoConvenio;

    DataSource* dsEmpresa;
    DataSource* dsBoletoCedente;
    DataSource* dsBoletoConta;
    DataSource* dsBoletoConvenio;

#define TREVALO_FIELD_MEMBER_qrUsuario(name, ...) Field* qrUsuario##name = nullptr;
#define TREVALO_FIELD_MEMBER_qrEmpresa(name, ...) Field* qrEmpresa##name = nullptr;
#define TREVALO_FIELD_MEMBER_qrBoletoCedente(name, ...) Field* qrBoletoCedente##name = nullptr;
#define TREVALO_FIELD_MEMBER_qrBoletoConta(name, ...) Field* qrBoletoConta##name = nullptr;
#define TREVALO_FIELD_MEMBER_qrBoletoConvenio(name, ...) Field* qrBoletoConvenio##name = nullptr;
    TREVALO_USUARIOS_COLUMNS(TREVALO_FIELD_MEMBER_qrUsuario)
    TREVALO_EMPRESA_COLUMNS(TREVALO_FIELD_MEMBER_qrEmpresa)
    TREVALO_BOLETOCEDENTE_COLUMNS(TREVALO_FIELD_MEMBER_qrBoletoCedente)
    TREVALO_BOLETOCONTA_COLUMNS(TREVALO_FIELD_MEMBER_qrBoletoConta)
    TREVALO_BOLETOCONVENIO_COLUMNS(TREVALO_FIELD_MEMBER_qrBoletoConvenio)

    // The user's locale with the short date format "dd/mm/yyyy"; the main
    // window installs it for the whole application.
    FormatSettings FormatoDiaMesAno;

    // The Portuguese name of a date's weekday ("Domingo" … "Sábado") and
    // month ("Janeiro" … "Dezembro"). MesExtenso reads the month from the
    // date written in the application's short date format, "dd/mm/yyyy".
    // A date they cannot name gives the notice "Data Inválida..." and "".
    QString DiadaSemana(QDate date);
    QString MesExtenso(QDate date);

    // Key allocation: a new row gets one more than the table's largest key
    // when it is first posted; an edited row keeps its key.
    void qrBoletoCedenteBeforePost(RecordSet& dataSet);
    void qrBoletoContaBeforePost(RecordSet& dataSet);
    void qrBoletoConvenioBeforePost(RecordSet& dataSet);

private:
    void allocateKey(RecordSet& dataSet, const QString& maxStatement, Field* key);

    UserNotices* m_notices;
    RequestTransport* m_transport = nullptr;
    QString m_configDirectory;
};

// The single data module of the running application.
extern Tdm* dm;
