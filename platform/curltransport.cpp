#include "curltransport.h"

#include "busy.h"
#include "errors.h"
#include "untDM.h"

#include <QFile>

#include <curl/curl.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

void initialiseCurlOnce()
{
    // Before any handle exists, and once: curl_global_init is not
    // thread-safe.
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    Q_UNUSED(initialised);
}

struct EasyDeleter
{
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct UrlDeleter
{
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
struct ListDeleter
{
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
struct CurlStringDeleter
{
    void operator()(char* text) const { curl_free(text); }
};

QString urlPart(CURLU* url, CURLUPart part)
{
    char* raw = nullptr;
    if (curl_url_get(url, part, &raw, 0) != CURLUE_OK)
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

CurlTransport::CurlTransport(QString caFile) : m_caFile(std::move(caFile))
{
    initialiseCurlOnce();
}

QByteArray CurlTransport::send(const HttpRequestData& request)
{
    const BusyScope busy;

    const std::unique_ptr<CURLU, UrlDeleter> url(curl_url());
    const std::unique_ptr<CURL, EasyDeleter> curl(curl_easy_init());
    if (!url || !curl)
        throw Failure(u"Não foi possível preparar a comunicação com a plataforma."_s);

    const CURLUcode parsed =
        curl_url_set(url.get(), CURLUPART_URL, wireUrl(request.url).constData(), 0);
    if (parsed != CURLUE_OK)
        throw Failure(u"Endereço da plataforma inválido: %1 (%2)"_s.arg(
            request.url, QString::fromUtf8(curl_url_strerror(parsed))));
    const QString scheme = urlPart(url.get(), CURLUPART_SCHEME).toLower();
    const QString host = urlPart(url.get(), CURLUPART_HOST);
    const bool loopback = isLoopbackHost(host);
    if (scheme != "https"_L1 && !(scheme == "http"_L1 && loopback))
        throw Failure(u"O endereço %1 não é aceito: a plataforma é acessada por https "
                      "(http apenas neste computador)."_s.arg(request.url));

    std::unique_ptr<curl_slist, ListDeleter> headers;
    const auto appendHeader = [&headers](const QByteArray& line) {
        curl_slist* list = curl_slist_append(headers.get(), line.constData());
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
    curl_easy_setopt(h, CURLOPT_CURLU, url.get());
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
#if LIBCURL_VERSION_NUM >= 0x075500
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
#else
    curl_easy_setopt(h, CURLOPT_PROTOCOLS, long(CURLPROTO_HTTP | CURLPROTO_HTTPS));
#endif
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(h, CURLOPT_SSLVERSION, long(CURL_SSLVERSION_TLSv1_2));
    if (loopback)
        curl_easy_setopt(h, CURLOPT_NOPROXY, "*");

    QByteArray authorities;
    if (!m_caFile.isEmpty()) {
        authorities = readFileOrFail(m_caFile);
        // A CA blob replaces curl's default bundle: keep that bundle too.
#if LIBCURL_VERSION_NUM >= 0x075400
        char* defaultBundle = nullptr;
        if (curl_easy_getinfo(h, CURLINFO_CAINFO, &defaultBundle) == CURLE_OK && defaultBundle) {
            QFile bundle(QString::fromLocal8Bit(defaultBundle));
            if (bundle.open(QIODevice::ReadOnly))
                authorities += '\n' + bundle.readAll();
        }
#endif
        curl_blob blob{authorities.data(), size_t(authorities.size()), CURL_BLOB_NOCOPY};
        curl_easy_setopt(h, CURLOPT_CAINFO_BLOB, &blob); // copies the struct, not the data
    }
#ifdef Q_OS_WIN
    // The Windows certificate store, for a curl built on OpenSSL (Schannel
    // uses it anyway).
    curl_easy_setopt(h, CURLOPT_SSL_OPTIONS, long(CURLSSLOPT_NATIVE_CA));
#endif

    if (request.connectTimeoutMs > 0)
        curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, long(request.connectTimeoutMs));
    if (m_totalTimeoutMs > 0)
        curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, long(m_totalTimeoutMs));
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, long(stallSeconds));
    curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(maxReplyBytes));

    if (!request.method.isEmpty())
        curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, request.method.constData());
    if (request.method == "GET" && request.body.isEmpty()) {
        curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
    } else {
        curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(request.body.size()));
        curl_easy_setopt(h, CURLOPT_POSTFIELDS, request.body.constData());
    }
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, collectReply);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &reply);

    const CURLcode result = curl_easy_perform(h);
    if (reply.tooLarge || result == CURLE_FILESIZE_EXCEEDED)
        throw Failure(
            u"A resposta da plataforma (%1) passa de %2 MiB e foi recusada."_s.arg(host).arg(
                maxReplyBytes / (1024 * 1024)));
    if (result != CURLE_OK) {
        const QString detail = errorText[0] ? QString::fromUtf8(errorText).trimmed()
                                            : QString::fromUtf8(curl_easy_strerror(result));
        throw Failure(u"Falha na comunicação com a plataforma (%1): %2"_s.arg(host, detail));
    }
    return reply.body;
}
