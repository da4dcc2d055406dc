#include "curltransport.h"

#include "busy.h"
#include "errors.h"
#include "untDM.h"

#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QRegularExpression>

#include <curl/curl.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// The libcurl functions the transport calls. The library is loaded when
// the first request is sent, not when the program starts: with the
// libraries it brings along (TLS, HTTP/2, SSH, Kerberos, LDAP...) it would
// otherwise add tens of milliseconds and several MiB to every start, in a
// program that may send no request at all in a session.
struct CurlLibrary
{
    decltype(&curl_global_init) global_init = nullptr;
    decltype(&curl_easy_init) easy_init = nullptr;
    decltype(&curl_easy_cleanup) easy_cleanup = nullptr;
    decltype(&curl_easy_setopt) easy_setopt = nullptr;
    decltype(&curl_easy_getinfo) easy_getinfo = nullptr;
    decltype(&curl_easy_perform) easy_perform = nullptr;
    decltype(&curl_easy_strerror) easy_strerror = nullptr;
    decltype(&curl_url) url = nullptr;
    decltype(&curl_url_cleanup) url_cleanup = nullptr;
    decltype(&curl_url_set) url_set = nullptr;
    decltype(&curl_url_get) url_get = nullptr;
    decltype(&curl_url_strerror) url_strerror = nullptr;
    decltype(&curl_free) free = nullptr;
    decltype(&curl_slist_append) slist_append = nullptr;
    decltype(&curl_slist_free_all) slist_free_all = nullptr;

    static CurlLibrary load();
};

bool openLibrary(QLibrary& library)
{
#if defined(Q_OS_WIN)
    // The names of curl's own Windows builds and of the MinGW ones.
    for (const QString& name : {u"libcurl"_s, u"libcurl-x64"_s, u"libcurl-4"_s}) {
        library.setFileName(name);
        if (library.load())
            return true;
    }
    return false;
#else
    library.setFileNameAndVersion(u"curl"_s, 4); // libcurl.so.4, libcurl.4.dylib
    return library.load();
#endif
}

template <typename Function>
void resolve(QLibrary& library, Function& function, const char* name, QStringList& missing)
{
    function = reinterpret_cast<Function>(library.resolve(name));
    if (!function)
        missing << QString::fromLatin1(name);
}

CurlLibrary CurlLibrary::load()
{
    QLibrary library; // stays loaded when this goes
    if (!openLibrary(library))
        throw Failure(u"Não foi possível carregar a biblioteca libcurl, usada na comunicação com "
                      "a plataforma: %1"_s.arg(library.errorString()));
    CurlLibrary curl;
    QStringList missing;
    resolve(library, curl.global_init, "curl_global_init", missing);
    resolve(library, curl.easy_init, "curl_easy_init", missing);
    resolve(library, curl.easy_cleanup, "curl_easy_cleanup", missing);
    resolve(library, curl.easy_setopt, "curl_easy_setopt", missing);
    resolve(library, curl.easy_getinfo, "curl_easy_getinfo", missing);
    resolve(library, curl.easy_perform, "curl_easy_perform", missing);
    resolve(library, curl.easy_strerror, "curl_easy_strerror", missing);
    resolve(library, curl.url, "curl_url", missing);
    resolve(library, curl.url_cleanup, "curl_url_cleanup", missing);
    resolve(library, curl.url_set, "curl_url_set", missing);
    resolve(library, curl.url_get, "curl_url_get", missing);
    resolve(library, curl.url_strerror, "curl_url_strerror", missing);
    resolve(library, curl.free, "curl_free", missing);
    resolve(library, curl.slist_append, "curl_slist_append", missing);
    resolve(library, curl.slist_free_all, "curl_slist_free_all", missing);
    if (!missing.isEmpty())
        throw Failure(u"A biblioteca libcurl (%1) é antiga demais para a comunicação com a "
                      "plataforma: faltam %2."_s.arg(library.fileName(), missing.join(u", "_s)));
    // Before any handle exists, and once: curl_global_init is not
    // thread-safe.
    if (curl.global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK)
        throw Failure(
            u"Não foi possível iniciar a biblioteca libcurl (%1)."_s.arg(library.fileName()));
    return curl;
}

// Loads libcurl on the first call; raises a Failure (and tries again on
// the next call) when it cannot.
const CurlLibrary& curlLibrary()
{
    static const CurlLibrary curl = CurlLibrary::load();
    return curl;
}

struct EasyDeleter
{
    void operator()(CURL* curl) const { curlLibrary().easy_cleanup(curl); }
};
struct UrlDeleter
{
    void operator()(CURLU* url) const { curlLibrary().url_cleanup(url); }
};
struct ListDeleter
{
    void operator()(curl_slist* list) const { curlLibrary().slist_free_all(list); }
};
struct CurlStringDeleter
{
    void operator()(char* text) const { curlLibrary().free(text); }
};

QString urlPart(CURLU* url, CURLUPart part)
{
    char* raw = nullptr;
    if (curlLibrary().url_get(url, part, &raw, 0) != CURLUE_OK)
        return {};
    const std::unique_ptr<char, CurlStringDeleter> text(raw);
    return QString::fromUtf8(text.get());
}

// Identifiers are appended to the resource paths as they are; bytes that
// cannot stand in a request line are percent-encoded here.
QByteArray wireUrl(const QString& url)
{
    static const QByteArray unsafe = QByteArrayLiteral("\"<>\\^`{|}");
    QByteArray out;
    for (const char c : url.toUtf8()) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u >= 0x7f || unsafe.contains(c))
            out += '%' + QByteArray::number(u, 16).toUpper().rightJustified(2, '0');
        else
            out += c;
    }
    return out;
}

bool isLoopbackHost(const QString& host)
{
    if (host.compare("localhost"_L1, Qt::CaseInsensitive) == 0 || host == "[::1]"_L1)
        return true;
    if (!host.startsWith("127."_L1))
        return false;
    const QStringList parts = host.split(u'.');
    if (parts.size() != 4)
        return false;
    for (const QString& part : parts) {
        bool ok = false;
        const int n = part.toInt(&ok);
        if (!ok || n < 0 || n > 255)
            return false;
    }
    return true;
}

QByteArray readFileOrFail(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(
            u"Não foi possível ler o arquivo de autoridades certificadoras \"%1\" "
            "(Connect.ini, seção PLATAFORMA, chave \"ca\"): %2"_s.arg(path, file.errorString()));
    return file.readAll();
}

struct ReplyBuffer
{
    QByteArray body;
    bool tooLarge = false;
};

size_t collectReply(char* data, size_t size, size_t count, void* userData)
{
    auto* reply = static_cast<ReplyBuffer*>(userData);
    const size_t n = size * count;
    if (qint64(reply->body.size()) + qint64(n) > CurlTransport::maxReplyBytes) {
        reply->tooLarge = true;
        return 0; // ends the transfer with CURLE_WRITE_ERROR
    }
    reply->body.append(data, qsizetype(n));
    return n;
}

} // namespace

CurlTransport::CurlTransport(const PlatformSettings& settings) : CurlTransport(settings.caFile) {}

CurlTransport::CurlTransport(QString caFile) : m_caFile(std::move(caFile)) {}

namespace {
// An address as messages show it: without a user name and password that
// Connect.ini's url may carry.
QString shownUrl(const QString& url)
{
    static const QRegularExpression userInfo(u"^([A-Za-z][A-Za-z0-9+.-]*://)[^/?#]*@"_s);
    return QString(url).replace(userInfo, u"\\1"_s);
}
} // namespace

QByteArray CurlTransport::send(const HttpRequestData& request)
{
    const BusyScope busy;

    const CurlLibrary& c = curlLibrary();
    const std::unique_ptr<CURLU, UrlDeleter> url(c.url());
    const std::unique_ptr<CURL, EasyDeleter> curl(c.easy_init());
    if (!url || !curl)
        throw Failure(u"Não foi possível preparar a comunicação com a plataforma."_s);

    const CURLUcode parsed =
        c.url_set(url.get(), CURLUPART_URL, wireUrl(request.url).constData(), 0);
    if (parsed != CURLUE_OK)
        throw Failure(u"Endereço da plataforma inválido: %1 (%2)"_s.arg(
            shownUrl(request.url), QString::fromUtf8(c.url_strerror(parsed))));
    const QString scheme = urlPart(url.get(), CURLUPART_SCHEME).toLower();
    const QString host = urlPart(url.get(), CURLUPART_HOST);
    const bool loopback = isLoopbackHost(host);
    if (scheme != "https"_L1 && !(scheme == "http"_L1 && loopback))
        throw Failure(u"O endereço %1 não é aceito: a plataforma é acessada por https "
                      "(http apenas neste computador)."_s.arg(shownUrl(request.url)));

    std::unique_ptr<curl_slist, ListDeleter> headers;
    const auto appendHeader = [&headers, &c](const QByteArray& line) {
        curl_slist* list = c.slist_append(headers.get(), line.constData());
        if (!list)
            throw Failure(u"Não foi possível preparar a comunicação com a plataforma."_s);
        (void)headers.release(); // the same list, one entry longer
        headers.reset(list);
    };
    for (const auto& [name, value] : request.headers) {
        if (name.contains('\r') || name.contains('\n') || value.contains('\r') ||
            value.contains('\n'))
            throw Failure(u"O cabeçalho \"%1\" contém uma quebra de linha e não pode ser "
                          "enviado à plataforma."_s.arg(QString::fromUtf8(name)));
        // "Name:" alone would remove the header; "Name;" sends it empty.
        appendHeader(value.isEmpty() ? name + ';' : name + ": " + value);
    }
    appendHeader(QByteArrayLiteral("Expect:")); // no 100-continue round trip

    ReplyBuffer reply;
    char errorText[CURL_ERROR_SIZE] = {};
    CURL* h = curl.get();
    c.easy_setopt(h, CURLOPT_CURLU, url.get());
    c.easy_setopt(h, CURLOPT_ERRORBUFFER, errorText);
    c.easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
#if LIBCURL_VERSION_NUM >= 0x075500
    c.easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
#else
    c.easy_setopt(h, CURLOPT_PROTOCOLS, long(CURLPROTO_HTTP | CURLPROTO_HTTPS));
#endif
    c.easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
    c.easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
    c.easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L);
    c.easy_setopt(h, CURLOPT_SSLVERSION, long(CURL_SSLVERSION_TLSv1_2));
    if (loopback)
        c.easy_setopt(h, CURLOPT_NOPROXY, "*");

    // The system's authorities. Where libcurl knows a hashed folder of them
    // (Debian's /etc/ssl/certs), only that folder is used: the TLS library
    // reads from it just the authority a certificate names, while the
    // bundle file beside it would be parsed whole on every request.
    bool systemFolder = !m_systemCaFolder.isEmpty();
    if (systemFolder) {
        c.easy_setopt(h, CURLOPT_CAPATH, QFile::encodeName(m_systemCaFolder).constData());
    } else {
#if LIBCURL_VERSION_NUM >= 0x075400
        char* folder = nullptr;
        systemFolder = c.easy_getinfo(h, CURLINFO_CAPATH, &folder) == CURLE_OK && folder &&
                       QFileInfo(QFile::decodeName(folder)).isDir();
#endif
    }
    if (systemFolder)
        c.easy_setopt(h, CURLOPT_CAINFO, static_cast<char*>(nullptr));
    QByteArray authorities;
    if (!m_caFile.isEmpty()) {
        // The file's authorities go in memory, in the place of the bundle
        // file (the folder stays); without a folder the bundle goes in too.
        authorities = readFileOrFail(m_caFile);
#if LIBCURL_VERSION_NUM >= 0x075400
        char* bundleFile = nullptr;
        if (!systemFolder && c.easy_getinfo(h, CURLINFO_CAINFO, &bundleFile) == CURLE_OK &&
            bundleFile) {
            QFile bundle(QFile::decodeName(bundleFile));
            if (bundle.open(QIODevice::ReadOnly))
                authorities += '\n' + bundle.readAll();
        }
#endif
        curl_blob blob{authorities.data(), size_t(authorities.size()), CURL_BLOB_NOCOPY};
        c.easy_setopt(h, CURLOPT_CAINFO_BLOB, &blob); // copies the struct, not the data
    }
#ifdef Q_OS_WIN
    // The Windows certificate store, for a curl built on OpenSSL (Schannel
    // uses it anyway).
    c.easy_setopt(h, CURLOPT_SSL_OPTIONS, long(CURLSSLOPT_NATIVE_CA));
#endif

    if (request.connectTimeoutMs > 0)
        c.easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, long(request.connectTimeoutMs));
    if (m_totalTimeoutMs > 0)
        c.easy_setopt(h, CURLOPT_TIMEOUT_MS, long(m_totalTimeoutMs));
    c.easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    c.easy_setopt(h, CURLOPT_LOW_SPEED_TIME, long(stallSeconds));
    c.easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(maxReplyBytes));

    if (!request.method.isEmpty())
        c.easy_setopt(h, CURLOPT_CUSTOMREQUEST, request.method.constData());
    if (request.method == "GET" && request.body.isEmpty()) {
        c.easy_setopt(h, CURLOPT_HTTPGET, 1L);
    } else {
        c.easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(request.body.size()));
        c.easy_setopt(h, CURLOPT_POSTFIELDS, request.body.constData());
    }
    c.easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    c.easy_setopt(h, CURLOPT_WRITEFUNCTION, collectReply);
    c.easy_setopt(h, CURLOPT_WRITEDATA, &reply);

    const CURLcode result = c.easy_perform(h);
    if (reply.tooLarge || result == CURLE_FILESIZE_EXCEEDED)
        throw Failure(u"A resposta da plataforma (%1) passa de %2 MiB e foi recusada."_s.arg(
            host, QString::number(maxReplyBytes / (1024 * 1024))));
    if (result != CURLE_OK) {
        const QString detail = errorText[0] ? QString::fromUtf8(errorText).trimmed()
                                            : QString::fromUtf8(c.easy_strerror(result));
        throw Failure(u"Falha na comunicação com a plataforma (%1): %2"_s.arg(host, detail));
    }
    return reply.body;
}
