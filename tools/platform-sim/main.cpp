// platform-sim: a local stand-in for the remote boleto platform, for tests
// and demonstrations. See --help.
#include "registry.h"
#include "wirecapture.h"

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace {

using Json = Registry::Json;

struct FailMode
{
    const char* name;
    const char* description;
};

const FailMode failModes[] = {
    {"http500-html", "status 500 with an HTML page"},
    {"http500-json", "status 500 with a JSON failure envelope"},
    {"not-json", "status 200 with a plain-text body"},
    {"empty-body", "status 200 with an empty body"},
    {"status-capital", "the usual answer with \"_status\": \"Sucesso\"; stores nothing"},
    {"no-dados", "the usual answer without \"_dados\"; stores nothing"},
    {"dados-not-object", "the usual answer with \"_dados\" a list; stores nothing"},
    {"odd-members", "the usual answer with members of \"_dados\" of unexpected types "
                    "(object, list, null, number, boolean); stores nothing"},
    {"bad-utf8", "the usual answer with bytes that are not UTF-8 in \"_mensagem\"; "
                 "stores nothing"},
    {"quote-body", "status 400, refusing the request with its body quoted in \"_mensagem\""},
    {"stall", "reads the request, then sends nothing for 120 s"},
    {"cut-body", "announces the usual answer, sends half, drops the connection"},
    {"huge-body", "a 20 MiB answer with Content-Length"},
    {"huge-chunked", "a 20 MiB answer in chunks, without Content-Length"},
};

constexpr size_t hugeBodyBytes = 20 * 1024 * 1024;
constexpr int stallSeconds = 120;

void printHelp()
{
    std::cout <<
        R"(Usage: platform-sim [options]

A local stand-in for the boleto platform. It serves
  POST /api/v1/cedentes/                    register a beneficiary
  PUT  /api/v1/cedentes/ID                  update it (ID: the "id" it got)
  POST /api/v1/cedentes/contas/             register an account
  PUT  /api/v1/cedentes/contas/ID           update it
  POST /api/v1/cedentes/contas/convenios/   register an agreement
  PUT  /api/v1/cedentes/contas/convenios/N  update it (N: its "numero_remessa")
and answers with the envelope {"_status": "sucesso", "_mensagem": ...,
"_dados": {...}} or, on a refusal, {"_status": "erro", "_mensagem": ...}.

It checks the headers (Content-Type application/json; cnpj-sh
58204617000290; token-sh b3f9e07a5d21c48f96a0e3d7152bc94e; cnpj-cedente of
14 characters), that the body is a JSON object with exactly the members of
the resource and their types (text or boolean), and what a platform would:
a beneficiary's CNPJ in the body equals cnpj-cedente and is not registered
twice; accounts and agreements belong to the beneficiary registered under
cnpj-cedente; an agreement's "Conta" is one of its accounts; updates name
a registered identifier.

Options:
  --listen HOST:PORT  address to listen on (default 127.0.0.1:0); port 0
                      picks a free one. The first line of output is the
                      base address, e.g. https://127.0.0.1:40123
  --cert FILE         server certificate (PEM) for HTTPS; with --key
  --key FILE          its private key (PEM). Without both: plain HTTP,
                      accepted only on a loopback address
  --log FILE          appends one JSON line per request: time, method, path,
                      remote_port, headers (as [name, value] pairs, in the
                      order sent when "header_order" is "wire"), body,
                      body_base64, status, reply (or reply_bytes, or
                      reply_base64 when it is not UTF-8), fail
  --state FILE        keeps the registrations in FILE across runs
  --fail MODE         misbehaves on every request:
)";
    for (const FailMode& mode : failModes)
        std::printf("    %-16s%s\n", mode.name, mode.description);
    std::cout << "  --help              this text\n";
}

bool knownFailMode(const std::string& name)
{
    if (name.empty())
        return true;
    for (const FailMode& mode : failModes)
        if (name == mode.name)
            return true;
    return false;
}

bool isLoopback(const std::string& host)
{
    return host == "localhost" || host == "::1" || host.compare(0, 4, "127.") == 0;
}

std::string base64(const std::string& bytes)
{
    static const char alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned v = (unsigned char)bytes[i] << 16 | (unsigned char)bytes[i + 1] << 8 |
                           (unsigned char)bytes[i + 2];
        out += alphabet[v >> 18];
        out += alphabet[(v >> 12) & 63];
        out += alphabet[(v >> 6) & 63];
        out += alphabet[v & 63];
    }
    if (i < bytes.size()) {
        const bool two = i + 1 < bytes.size();
        const unsigned v =
            (unsigned char)bytes[i] << 16 | (two ? (unsigned char)bytes[i + 1] << 8 : 0);
        out += alphabet[v >> 18];
        out += alphabet[(v >> 12) & 63];
        out += two ? alphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::string timestamp()
{
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    return std::to_string(ms / 1000) + "." + std::to_string(1000 + ms % 1000).substr(1);
}

class RequestLog
{
public:
    bool open(const std::string& path)
    {
        m_out.open(path, std::ios::binary | std::ios::app);
        return bool(m_out);
    }
    void write(const Json& entry)
    {
        if (!m_out.is_open())
            return;
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_out << entry.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
        m_out.flush();
    }

private:
    std::mutex m_mutex;
    std::ofstream m_out;
};

struct Options
{
    std::string host = "127.0.0.1";
    int port = 0;
    std::string cert, key, log, state, fail;
};

// Returns 0 to go on, otherwise the exit code.
int parseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            printHelp();
            return -1;
        }
        if (i + 1 >= argc) {
            std::cerr << "platform-sim: unknown option or missing value: " << arg
                      << " (see --help)\n";
            return 2;
        }
        const std::string value = argv[++i];
        if (arg == "--listen") {
            const size_t colon = value.rfind(':');
            if (colon == std::string::npos) {
                std::cerr << "platform-sim: --listen wants HOST:PORT\n";
                return 2;
            }
            options.host = value.substr(0, colon);
            if (options.host.size() > 1 && options.host.front() == '[' &&
                options.host.back() == ']')
                options.host = options.host.substr(1, options.host.size() - 2);
            try {
                options.port = std::stoi(value.substr(colon + 1));
            } catch (const std::exception&) {
                options.port = -1;
            }
            if (options.port < 0 || options.port > 65535) {
                std::cerr << "platform-sim: bad port in --listen " << value << "\n";
                return 2;
            }
        } else if (arg == "--cert") {
            options.cert = value;
        } else if (arg == "--key") {
            options.key = value;
        } else if (arg == "--log") {
            options.log = value;
        } else if (arg == "--state") {
            options.state = value;
        } else if (arg == "--fail") {
            if (!knownFailMode(value)) {
                std::cerr << "platform-sim: unknown --fail mode " << value << " (see --help)\n";
                return 2;
            }
            options.fail = value;
        } else {
            std::cerr << "platform-sim: unknown option " << arg << " (see --help)\n";
            return 2;
        }
    }
    if (options.cert.empty() != options.key.empty()) {
        std::cerr << "platform-sim: --cert and --key go together\n";
        return 2;
    }
    if (options.cert.empty() && !isLoopback(options.host)) {
        std::cerr << "platform-sim: plain HTTP only on a loopback address; give --cert and --key\n";
        return 2;
    }
    return 0;
}

// The answer of one misbehaviour that does not depend on the request;
// false when the mode needs the registry's answer.
bool fixedFailure(const std::string& mode, httplib::Response& res)
{
    if (mode == "http500-html") {
        res.status = 500;
        res.set_content("<!DOCTYPE html>\n<html><head><title>500 Internal Server Error</title>"
                        "</head>\n<body><h1>Erro interno do servidor</h1></body></html>\n",
                        "text/html; charset=utf-8");
    } else if (mode == "http500-json") {
        res.status = 500;
        res.set_content(
            Json{{"_status", "erro"}, {"_mensagem", "Erro interno da plataforma."}}.dump(),
            "application/json; charset=utf-8");
    } else if (mode == "not-json") {
        res.status = 200;
        res.set_content("Serviço em manutenção. Tente novamente mais tarde.\n",
                        "text/plain; charset=utf-8");
    } else if (mode == "empty-body") {
        res.status = 200;
        res.set_content("", "application/json");
    } else {
        return false;
    }
    return true;
}

void hugeReply(bool chunked, httplib::Response& res)
{
    // {"_status":"sucesso","_dados":{"id":1,"preenchimento":"xxx...x"}}
    static const std::string head = R"({"_status":"sucesso","_dados":{"id":1,"preenchimento":")";
    static const std::string tail = R"("}})";
    const size_t total = hugeBodyBytes;
    auto provide = [total](size_t offset, httplib::DataSink& sink) {
        static const std::string filler(64 * 1024, 'x');
        if (offset == 0)
            return sink.write(head.data(), head.size());
        const size_t fillerEnd = total - tail.size();
        if (offset < fillerEnd)
            return sink.write(filler.data(), std::min(filler.size(), fillerEnd - offset));
        if (offset < total)
            return sink.write(tail.data(), tail.size());
        sink.done();
        return true;
    };
    res.status = 200;
    if (chunked)
        res.set_chunked_content_provider("application/json", provide);
    else
        res.set_content_provider(total, "application/json",
                                 [provide](size_t offset, size_t, httplib::DataSink& sink) {
                                     return provide(offset, sink);
                                 });
}

// Gives every member of `dados` a type the program does not expect,
// going round objects, lists, null, numbers and booleans.
void oddMembers(Json& dados)
{
    if (!dados.is_object())
        return;
    const Json odd[] = {Json{{"valor", "1"}}, Json::array({1, "dois"}), Json(nullptr), Json(12.5),
                        Json(true)};
    size_t i = 0;
    for (auto& [name, value] : dados.items())
        value = odd[i++ % std::size(odd)];
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (const int rc = parseOptions(argc, argv, options); rc != 0)
        return rc < 0 ? 0 : rc;

    std::unique_ptr<Registry> registry;
    try {
        registry = std::make_unique<Registry>(options.state);
    } catch (const std::exception& e) {
        std::cerr << "platform-sim: " << e.what() << "\n";
        return 1;
    }
    RequestLog log;
    if (!options.log.empty() && !log.open(options.log)) {
        std::cerr << "platform-sim: cannot write the log " << options.log << "\n";
        return 1;
    }

    const bool https = !options.cert.empty();
    std::unique_ptr<httplib::Server> server;
    if (https)
        server = std::make_unique<httplib::SSLServer>(options.cert.c_str(), options.key.c_str());
    else
        server = std::make_unique<httplib::Server>();
    if (!server->is_valid()) {
        std::cerr << "platform-sim: cannot use the certificate " << options.cert << " and key "
                  << options.key << "\n";
        return 1;
    }
    server->set_payload_max_length(4 * 1024 * 1024);
    // A reply goes out in two writes (head, then body): with Nagle's
    // algorithm the body would wait for the client's delayed
    // acknowledgement, some 40 ms on every request.
    server->set_tcp_nodelay(true);

    std::atomic<bool> stopping{false};
    const auto handler = [&](const httplib::Request& req, httplib::Response& res) {
        HeaderList headers;
        bool wireOrder = false;
        if (const auto head = takeRequestHead(req.ssl)) {
            headers = headerLines(*head);
            wireOrder = true;
        } else {
            headers.assign(req.headers.begin(), req.headers.end());
        }
        Registry::Request request{req.method, req.path, {}, req.body};
        for (const auto& [name, value] : headers) {
            std::string lower = name;
            for (char& c : lower)
                c = char(std::tolower(static_cast<unsigned char>(c)));
            request.headers.emplace(lower, value); // the first of a name stays
        }

        Json entry = {{"time", timestamp()},      {"method", req.method},
                      {"path", req.path},         {"remote_port", req.remote_port},
                      {"headers", Json::array()}, {"header_order", wireOrder ? "wire" : "sorted"},
                      {"body", req.body},         {"body_base64", base64(req.body)}};
        for (const auto& [name, value] : headers)
            entry["headers"].push_back(Json::array({name, value}));
        if (!options.fail.empty())
            entry["fail"] = options.fail;

        const std::string& mode = options.fail;
        if (mode == "stall") {
            entry["status"] = nullptr;
            log.write(entry);
            for (int i = 0; i < stallSeconds * 10 && !stopping; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            res.status = 503;
            return;
        }
        if (mode == "huge-body" || mode == "huge-chunked") {
            hugeReply(mode == "huge-chunked", res);
            entry["status"] = res.status;
            entry["reply_bytes"] = hugeBodyBytes;
            log.write(entry);
            return;
        }
        if (mode == "quote-body") {
            // As some servers do: the whole request repeated in the refusal.
            res.status = 400;
            res.set_content(
                Json{{"_status", "erro"}, {"_mensagem", "Requisição recusada: " + req.body}}.dump(
                    -1, ' ', false, Json::error_handler_t::replace),
                "application/json; charset=utf-8");
            entry["status"] = res.status;
            entry["reply"] = res.body;
            log.write(entry);
            return;
        }
        if (!fixedFailure(mode, res)) {
            const bool dryRun = !mode.empty();
            Registry::Reply reply = registry->handle(request, dryRun);
            if (reply.body.value("_status", "") == "sucesso") {
                if (mode == "status-capital")
                    reply.body["_status"] = "Sucesso";
                else if (mode == "no-dados")
                    reply.body.erase("_dados");
                else if (mode == "dados-not-object")
                    reply.body["_dados"] = Json::array({"id", 1});
                else if (mode == "odd-members")
                    oddMembers(reply.body["_dados"]);
            }
            res.status = reply.status;
            const auto text = std::make_shared<std::string>(reply.body.dump());
            if (mode == "bad-utf8") {
                // A Latin-1 "é" and a lone continuation byte.
                const std::string key = "\"_mensagem\":\"";
                if (const size_t at = text->find(key); at != std::string::npos)
                    text->insert(at + key.size(), "Conv\xe9nio \x80 ");
            }
            if (mode == "cut-body") {
                res.set_content_provider(
                    text->size(), "application/json; charset=utf-8",
                    [text](size_t offset, size_t, httplib::DataSink& sink) {
                        const size_t half = text->size() / 2;
                        // Returning false drops the connection mid-body.
                        return offset < half && sink.write(text->data() + offset, half - offset);
                    });
            } else {
                res.set_content(*text, "application/json; charset=utf-8");
            }
            // The log is JSON, which cannot hold bytes that are not UTF-8.
            if (mode == "bad-utf8")
                entry["reply_base64"] = base64(*text);
            else
                entry["reply"] = *text;
        } else {
            entry["reply"] = res.body;
        }
        entry["status"] = res.status;
        log.write(entry);
    };
    // Every path and method reaches the registry, which refuses what it
    // does not serve with its own envelope.
    server->Get(".*", handler);
    server->Post(".*", handler);
    server->Put(".*", handler);
    server->Patch(".*", handler);
    server->Delete(".*", handler);

    int port = options.port;
    if (port == 0)
        port = server->bind_to_any_port(options.host);
    else if (!server->bind_to_port(options.host, port))
        port = -1;
    if (port < 0) {
        std::cerr << "platform-sim: cannot listen on " << options.host << ":" << options.port
                  << "\n";
        return 1;
    }
    const bool v6 = options.host.find(':') != std::string::npos;
    std::cout << (https ? "https://" : "http://") << (v6 ? "[" : "") << options.host
              << (v6 ? "]" : "") << ":" << port << std::endl;
    if (https && !wireCaptureAvailable())
        std::cerr << "platform-sim: headers are logged in sorted order on this system\n";

    const bool ok = server->listen_after_bind();
    stopping = true;
    return ok ? 0 : 1;
}
