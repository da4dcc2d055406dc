#include "untDM.h"

#include "errors.h"
#include "inifile.h"
#include "notices.h"
#include "transport.h"

#include <QCoreApplication>
#include <QDir>

Tdm* dm = nullptr;

namespace {

#define TREVALO_FIELD_DEF(name, kind, size, required, label)                                       \
    FieldDef{QStringLiteral(#name), ColumnKind::kind, size, required, QStringLiteral(label)},

QStringList names(const std::vector<FieldDef>& defs)
{
    QStringList list;
    for (const FieldDef& d : defs)
        list << d.name;
    return list;
}

QString selectOf(const std::vector<FieldDef>& defs, const QString& rest)
{
    return QStringLiteral("select %1\n%2").arg(names(defs).join(QLatin1String(", ")), rest);
}

} // namespace

Tdm::Tdm(UserNotices* notices, QObject* parent) : QObject(parent), m_notices(notices)
{
    setObjectName(QStringLiteral("dm"));
    dm = this;

    qrUsuario = new RecordSet(&BcoDados, QStringLiteral("qrUsuario"), this);
    qrEmpresa = new RecordSet(&BcoDados, QStringLiteral("qrEmpresa"), this);
    qrBoletoCedente = new RecordSet(&BcoDados, QStringLiteral("qrBoletoCedente"), this);
    qrBoletoConta = new RecordSet(&BcoDados, QStringLiteral("qrBoletoConta"), this);
    qrBoletoConvenio = new RecordSet(&BcoDados, QStringLiteral("qrBoletoConvenio"), this);
    qrAux = new RecordSet(&BcoDados, QStringLiteral("qrAux"), this);

    const std::vector<FieldDef> usuario = {TREVALO_USUARIOS_COLUMNS(TREVALO_FIELD_DEF)};
    const std::vector<FieldDef> empresa = {TREVALO_EMPRESA_COLUMNS(TREVALO_FIELD_DEF)};
    const std::vector<FieldDef> cedente = {TREVALO_BOLETOCEDENTE_COLUMNS(TREVALO_FIELD_DEF)};
    const std::vector<FieldDef> conta = {TREVALO_BOLETOCONTA_COLUMNS(TREVALO_FIELD_DEF)};
    const std::vector<FieldDef> convenio = {TREVALO_BOLETOCONVENIO_COLUMNS(TREVALO_FIELD_DEF)};

    qrUsuario->SetSQL(QStringLiteral("select Codigo, Nome, Senha, Libera, Master\n"
                                     "from usuarios\n"
                                     "where senha = :xSenha"));
    qrUsuario->SetFieldDefs(usuario);

    qrEmpresa->SetSQL(selectOf(empresa, QStringLiteral("from Empresa\norder by Codigo")));
    qrEmpresa->SetFieldDefs(empresa);
    updEmpresa.DeleteSQL = QStringLiteral(
        "DELETE FROM Empresa\nWHERE\n"
        "((Empresa.CODIGO IS NULL AND :OLD_CODIGO IS NULL) OR (Empresa.CODIGO = :OLD_CODIGO))");
    qrEmpresa->SetUpdateSql(updEmpresa);

    qrBoletoCedente->SetSQL(
        selectOf(cedente, QStringLiteral("from BoletoCedente\norder by bceCodigo")));
    qrBoletoCedente->SetFieldDefs(cedente);
    updBoletoCedente = UpdateSql::forTable(QStringLiteral("BoletoCedente"), names(cedente));
    qrBoletoCedente->SetUpdateSql(updBoletoCedente);
    qrBoletoCedente->BeforePost = [this](RecordSet& s) { qrBoletoCedenteBeforePost(s); };

    qrBoletoConta->SetSQL(selectOf(conta, QStringLiteral("from BoletoConta\norder by bcoCodigo")));
    qrBoletoConta->SetFieldDefs(conta);
    updBoletoConta = UpdateSql::forTable(QStringLiteral("BoletoConta"), names(conta));
    qrBoletoConta->SetUpdateSql(updBoletoConta);
    qrBoletoConta->BeforePost = [this](RecordSet& s) { qrBoletoContaBeforePost(s); };

    qrBoletoConvenio->SetSQL(selectOf(
        convenio,
        QStringLiteral("from BoletoConvenio\nwhere bcoContaID = :xContaID\norder by bcvCodigo")));
    qrBoletoConvenio->SetFieldDefs(convenio);
    updBoletoConvenio = UpdateSql::forTable(QStringLiteral("BoletoConvenio"), names(convenio));
    qrBoletoConvenio->SetUpdateSql(updBoletoConvenio);
    qrBoletoConvenio->BeforePost = [this](RecordSet& s) { qrBoletoConvenioBeforePost(s); };

#define TREVALO_BIND_FIELD(set, name) set##name = &set->FieldByName(QStringLiteral(#name));
#define TREVALO_BIND_qrUsuario(name, ...) TREVALO_BIND_FIELD(qrUsuario, name)
#define TREVALO_BIND_qrEmpresa(name, ...) TREVALO_BIND_FIELD(qrEmpresa, name)
#define TREVALO_BIND_qrBoletoCedente(name, ...) TREVALO_BIND_FIELD(qrBoletoCedente, name)
#define TREVALO_BIND_qrBoletoConta(name, ...) TREVALO_BIND_FIELD(qrBoletoConta, name)
#define TREVALO_BIND_qrBoletoConvenio(name, ...) TREVALO_BIND_FIELD(qrBoletoConvenio, name)
    TREVALO_USUARIOS_COLUMNS(TREVALO_BIND_qrUsuario)
    TREVALO_EMPRESA_COLUMNS(TREVALO_BIND_qrEmpresa)
    TREVALO_BOLETOCEDENTE_COLUMNS(TREVALO_BIND_qrBoletoCedente)
    TREVALO_BOLETOCONTA_COLUMNS(TREVALO_BIND_qrBoletoConta)
    TREVALO_BOLETOCONVENIO_COLUMNS(TREVALO_BIND_qrBoletoConvenio)

    dsEmpresa = new DataSource(qrEmpresa, QStringLiteral("dsEmpresa"), this);
    dsBoletoCedente = new DataSource(qrBoletoCedente, QStringLiteral("dsBoletoCedente"), this);
    dsBoletoConta = new DataSource(qrBoletoConta, QStringLiteral("dsBoletoConta"), this);
    dsBoletoConvenio = new DataSource(qrBoletoConvenio, QStringLiteral("dsBoletoConvenio"), this);
}

Tdm::~Tdm()
{
    if (dm == this)
        dm = nullptr;
}

QString Tdm::configDirectory() const
{
    return m_configDirectory.isEmpty() ? QCoreApplication::applicationDirPath() : m_configDirectory;
}

QString Tdm::configFilePath() const
{
    return QDir(configDirectory()).filePath(QStringLiteral("Connect.ini"));
}

void Tdm::DataModuleCreate()
{
    try {
        QString database, user, password;
        {
            const IniFile ini = IniFile::load(configFilePath());
            const QString section = QStringLiteral("TORVELA");
            database = ini.readString(section, QStringLiteral("database"), missingValue());
            user = ini.readString(section, QStringLiteral("User_Name"), missingValue());
            password = ini.readString(section, QStringLiteral("Password"), missingValue());
            const QString platform = QStringLiteral("PLATAFORMA");
            QString url = ini.readString(platform, QStringLiteral("url"), QString());
            while (url.endsWith(QLatin1Char('/')))
                url.chop(1);
            if (!url.isEmpty())
                Plataforma.url = url;
            // A relative file name is read beside Connect.ini, like the file itself.
            const QString ca = ini.readString(platform, QStringLiteral("ca"), QString());
            Plataforma.caFile = ca.isEmpty() ? ca : QDir(configDirectory()).absoluteFilePath(ca);
        }
        BcoDados.location().parse(database);
        BcoDados.SetUser(user);
        BcoDados.SetPassword(password);
        BcoDados.Connect();
    } catch (const Failure& e) {
        if (m_notices)
            m_notices->notice(e.message());
    } catch (const std::exception& e) {
        if (m_notices)
            m_notices->notice(QString::fromLocal8Bit(e.what()));
    }
    FormatoDiaMesAno = FormatSettings::fromLocale(QLocale::system());
    FormatoDiaMesAno.shortDateFormat = QStringLiteral("dd/mm/yyyy");
}

void Tdm::allocateKey(RecordSet& dataSet, const QString& maxStatement, Field* key)
{
    if (dataSet.State() != dsInsert)
        return;
    qrAux->Close();
    qrAux->SetSQL(maxStatement);
    qrAux->Open();
    key->SetAsInteger(qrAux->Fields(0).AsInteger() + 1);
}

void Tdm::qrBoletoCedenteBeforePost(RecordSet& dataSet)
{
    allocateKey(dataSet, QStringLiteral("select coalesce(max(bceCodigo), 0) from BoletoCedente"),
                qrBoletoCedenteBCECODIGO);
}

void Tdm::qrBoletoContaBeforePost(RecordSet& dataSet)
{
    allocateKey(dataSet, QStringLiteral("select coalesce(max(bcoCodigo), 0) from BoletoConta"),
                qrBoletoContaBCOCODIGO);
}

void Tdm::qrBoletoConvenioBeforePost(RecordSet& dataSet)
{
    allocateKey(dataSet, QStringLiteral("select coalesce(max(bcvCodigo), 0) from BoletoConvenio"),
                qrBoletoConvenioBCVCODIGO);
}

QByteArray Tdm::HttpRequest(const QString& aBody, const QString& aMethod, const QString& aURL,
                            int aTimeout, const QString& aContentType)
{
    if (!m_transport)
        throw Failure(
            QStringLiteral("Nenhum meio de comunicação com a plataforma foi configurado."));
    HttpRequestData request;
    request.method = aMethod.toUtf8();
    request.url = aURL;
    request.body = aBody.toUtf8();
    request.connectTimeoutMs = aTimeout;
    const QString cnpjCedente =
        qrBoletoCedente->Active() ? qrBoletoCedenteBCECNPJ->AsString() : QString();
    request.headers = {
        {"Content-Type", aContentType.toUtf8()},
        {"cnpj-sh", softwareHouseCnpj},
        {"token-sh", softwareHouseToken},
        {"cnpj-cedente", cnpjCedente.toUtf8()},
    };
    return m_transport->send(request);
}

QString Tdm::DiadaSemana(QDate date)
{
    static const char16_t* const names[] = {u"Domingo",      u"Segunda-Feira", u"Terça-Feira",
                                            u"Quarta-Feira", u"Quinta-Feira",  u"Sexta-Feira",
                                            u"Sábado"};
    if (!date.isValid()) {
        if (m_notices)
            m_notices->notice(QStringLiteral("Data Inválida..."));
        return {};
    }
    // Qt counts from Monday (1) to Sunday (7); the names from Sunday.
    return QString::fromUtf16(names[date.dayOfWeek() % 7]);
}

QString Tdm::MesExtenso(QDate date)
{
    static const char16_t* const names[] = {u"Janeiro",  u"Fevereiro", u"Março",    u"Abril",
                                            u"Maio",     u"Junho",     u"Julho",    u"Agosto",
                                            u"Setembro", u"Outubro",   u"Novembro", u"Dezembro"};
    const QString text = date.isValid() ? applicationFormatSettings().formatDate(date) : QString();
    const QString digits = text.mid(3, 2);
    bool ok = digits.size() == 2 && digits.at(0).isDigit() && digits.at(1).isDigit();
    const int month = ok ? digits.toInt(&ok) : 0;
    if (!ok) {
        if (m_notices)
            m_notices->notice(QStringLiteral("Data Inválida..."));
        return {};
    }
    return month >= 1 && month <= 12 ? QString::fromUtf16(names[month - 1]) : QString();
}
