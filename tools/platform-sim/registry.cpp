#include "registry.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <vector>

namespace {

using Json = Registry::Json;

enum class Type
{
    Text,
    Boolean
};

struct MemberRule
{
    const char* name;
    Type type;
    bool required = false; // must not be the empty text
};

const std::vector<MemberRule> cedenteRules = {
    {"CedenteRazaoSocial", Type::Text},
    {"CedenteCPFCNPJ", Type::Text, true},
    {"CedenteNomeFantasia", Type::Text},
    {"CedenteEnderecoLogradouro", Type::Text, true},
    {"CedenteEnderecoNumero", Type::Text},
    {"CedenteEnderecoComplemento", Type::Text},
    {"CedenteEnderecoBairro", Type::Text},
    {"CedenteEnderecoCEP", Type::Text, true},
    {"CedenteEnderecoCidadeIBGE", Type::Text, true},
    {"CedenteTelefone", Type::Text},
    {"CedenteEmail", Type::Text},
};

const std::vector<MemberRule> contaRules = {
    {"ContaCodigoBanco", Type::Text, true},
    {"ContaAgencia", Type::Text, true},
    {"ContaAgenciaDV", Type::Text},
    {"ContaNumero", Type::Text, true},
    {"ContaNumeroDV", Type::Text},
    {"ContaTipo", Type::Text},
    {"ContaCodigoBeneficiario", Type::Text, true},
    {"ContaCodigoEmpresa", Type::Text},
    {"ContaValidacaoAtiva", Type::Boolean},
    {"ContaImpressaoAtualizada", Type::Boolean},
};

const std::vector<MemberRule> convenioRules = {
    {"ConvenioNumero", Type::Text},
    {"ConvenioDescricao", Type::Text},
    {"ConvenioCarteira", Type::Text},
    {"carteira_codigo", Type::Text},
    {"ConvenioEspecie", Type::Text},
    {"ConvenioPadraoCNAB", Type::Text},
    {"ConvenioReiniciarDiariamente", Type::Boolean},
    {"ConvenioNumeroRemessa", Type::Text},
    {"Conta", Type::Text, true},
    {"ConvenioDensidaDeRemessa", Type::Text},
    {"ConvenioRegistroInstantaneo", Type::Boolean},
    {"ConvenioApiId", Type::Text},
    {"ConvenioApiKey", Type::Text},
    {"ConvenioApiSecret", Type::Text},
    {"ConvenioEstacao", Type::Text},
    {"ConvenioNossoNumeroBanco", Type::Boolean},
    {"ConvenioNossoNumeroConciliarBanco", Type::Boolean},
    {"Conveniotipowebservice", Type::Text},
    {"ConvenioConsultaws", Type::Boolean},
    {"ConvenioNumeroContrato", Type::Text},
    {"ConvenioVersaoLayoutArquivo", Type::Text},
};

// Longest path first: the account and agreement paths begin with the
// beneficiaries' path.
enum class Resource
{
    Convenio,
    Conta,
    Cedente
};
struct Route
{
    Resource resource;
    const char* path;
    const std::vector<MemberRule>* rules;
};
const Route routes[] = {
    {Resource::Convenio, "/api/v1/cedentes/contas/convenios/", &convenioRules},
    {Resource::Conta, "/api/v1/cedentes/contas/", &contaRules},
    {Resource::Cedente, "/api/v1/cedentes/", &cedenteRules},
};

Registry::Reply refuse(int status, const std::string& message)
{
    return {status, Json{{"_status", "erro"}, {"_mensagem", message}}};
}

Registry::Reply accept(int status, const std::string& message, Json data)
{
    return {status,
            Json{{"_status", "sucesso"}, {"_mensagem", message}, {"_dados", std::move(data)}}};
}

size_t characterCount(const std::string& utf8)
{
    size_t n = 0;
    for (const char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xc0) != 0x80)
            ++n;
    return n;
}

std::string now()
{
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
#ifdef _WIN32
    gmtime_s(&tm, &t);
#else
    gmtime_r(&t, &tm);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm);
    return text;
}

std::string randomToken()
{
    static std::mt19937_64 generator{std::random_device{}()};
    static const char digits[] = "0123456789abcdef";
    std::string token;
    for (int i = 0; i < 32; ++i)
        token += digits[generator() % 16];
    return token;
}

std::string header(const Registry::Request& request, const char* name)
{
    const auto it = request.headers.find(name);
    return it == request.headers.end() ? std::string() : it->second;
}

// The first problem of a request body, or "" when it is acceptable.
std::string bodyProblem(const Json& body, const std::vector<MemberRule>& rules)
{
    if (!body.is_object())
        return "O corpo da requisição deve ser um objeto JSON.";
    for (const MemberRule& rule : rules) {
        const auto it = body.find(rule.name);
        if (it == body.end())
            return std::string("Campo obrigatório ausente: ") + rule.name + ".";
        if (rule.type == Type::Text && !it->is_string())
            return std::string("O campo ") + rule.name + " deve ser um texto.";
        if (rule.type == Type::Boolean && !it->is_boolean())
            return std::string("O campo ") + rule.name + " deve ser true ou false.";
        if (rule.required && it->get_ref<const std::string&>().empty())
            return std::string("O campo ") + rule.name + " é obrigatório.";
    }
    for (const auto& [name, value] : body.items()) {
        bool known = false;
        for (const MemberRule& rule : rules)
            known = known || name == rule.name;
        if (!known)
            return "Campo desconhecido: " + name + ".";
    }
    return {};
}

Json* findBy(Json& list, const char* key, const Json& value)
{
    for (Json& item : list)
        if (item.at(key) == value)
            return &item;
    return nullptr;
}

Json* findById(Json& list, const std::string& id)
{
    for (Json& item : list)
        if (std::to_string(item.at("id").get<long long>()) == id)
            return &item;
    return nullptr;
}

Json cedenteData(const Json& cedente)
{
    Json data = {
        {"id", cedente.at("id")},
        {"criado", cedente.at("criado")},
        {"atualizado", cedente.at("atualizado")},
        {"token_cedente", cedente.at("token_cedente")},
        {"token_esales", cedente.at("token_esales")},
        {"situacao", "ATIVO"},
        {"id_software_house", 17},
        {"config_email", nullptr},
        {"config_notificacao", Json{{"email", false}, {"sms", false}}},
        {"motivo_inativacao", nullptr},
        {"data_ativacao", cedente.at("criado")},
        {"data_inativacao", nullptr},
        {"certificado", nullptr},
        {"dtvencimentocertificado", nullptr},
    };
    data.update(cedente.at("membros"));
    return data;
}

Json contaData(const Json& conta)
{
    Json data = {{"id", conta.at("id")},
                 {"criado", conta.at("criado")},
                 {"atualizado", conta.at("atualizado")},
                 {"cedente", conta.at("cedente")}};
    data.update(conta.at("membros"));
    return data;
}

Json convenioData(const Json& convenio)
{
    Json data = {{"id", convenio.at("id")},
                 {"numero_remessa", convenio.at("numero_remessa")},
                 {"criado", convenio.at("criado")},
                 {"atualizado", convenio.at("atualizado")},
                 {"conta", convenio.at("conta")}};
    data.update(convenio.at("membros"));
    return data;
}

} // namespace

Registry::Registry(std::string stateFile) : m_stateFile(std::move(stateFile))
{
    m_state =
        Json{{"contadores", Json{{"cedente", 0}, {"conta", 0}, {"convenio", 0}, {"remessa", 0}}},
             {"cedentes", Json::array()},
             {"contas", Json::array()},
             {"convenios", Json::array()}};
    if (m_stateFile.empty() || !std::filesystem::exists(m_stateFile))
        return;
    std::ifstream in(m_stateFile, std::ios::binary);
    const Json saved = Json::parse(in, nullptr, false);
    if (!saved.is_object() || !saved.contains("cedentes"))
        throw std::runtime_error("state file " + m_stateFile + " is not a platform-sim state");
    m_state = saved;
}

void Registry::save() const
{
    if (m_stateFile.empty())
        return;
    const std::string temporary = m_stateFile + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << m_state.dump(2) << '\n';
        if (!out)
            throw std::runtime_error("cannot write " + temporary);
    }
    std::filesystem::rename(temporary, m_stateFile);
}

long long Registry::nextNumber(const char* counter)
{
    Json& value = m_state.at("contadores").at(counter);
    value = value.get<long long>() + 1;
    return value.get<long long>();
}

Registry::Reply Registry::handle(const Request& request, bool dryRun)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (!dryRun)
        return handleLocked(request, false);
    const Json kept = m_state;
    Reply reply = handleLocked(request, true);
    m_state = kept;
    return reply;
}

Registry::Reply Registry::handleLocked(const Request& request, bool dryRun)
{
    const Route* route = nullptr;
    for (const Route& r : routes) {
        if (request.path.compare(0, std::string(r.path).size(), r.path) == 0) {
            route = &r;
            break;
        }
    }
    if (!route)
        return refuse(404, "Recurso não encontrado: " + request.path);
    const std::string id = request.path.substr(std::string(route->path).size());
    const bool registering = request.method == "POST";
    if (!registering && request.method != "PUT")
        return refuse(405, "Método " + request.method + " não permitido neste recurso.");
    if (registering && !id.empty())
        return refuse(404, "Recurso não encontrado: " + request.path);

    const std::string contentType = header(request, "content-type");
    if (contentType.compare(0, 16, "application/json") != 0)
        return refuse(415, "O cabeçalho Content-Type deve ser application/json.");
    if (header(request, "cnpj-sh") != softwareHouseCnpj)
        return refuse(401, "Software house não autorizada: cnpj-sh inválido.");
    if (header(request, "token-sh") != softwareHouseToken)
        return refuse(401, "Software house não autorizada: token-sh inválido.");
    if (!request.headers.count("cnpj-cedente"))
        return refuse(400, "Cabeçalho cnpj-cedente ausente.");
    const std::string cnpj = header(request, "cnpj-cedente");
    if (characterCount(cnpj) != 14)
        return refuse(400,
                      "O cabeçalho cnpj-cedente deve ter 14 caracteres; veio \"" + cnpj + "\".");

    const Json body = Json::parse(request.body, nullptr, false);
    if (body.is_discarded())
        return refuse(400, "O corpo da requisição não é um JSON válido.");
    if (const std::string problem = bodyProblem(body, *route->rules); !problem.empty())
        return refuse(400, problem);

    Json& cedentes = m_state.at("cedentes");
    Json& contas = m_state.at("contas");
    Json& convenios = m_state.at("convenios");
    const std::string stamp = now();
    Reply reply;

    switch (route->resource) {
    case Resource::Cedente: {
        if (body.at("CedenteCPFCNPJ") != cnpj)
            return refuse(400, "O CNPJ/CPF do corpo difere do cabeçalho cnpj-cedente.");
        Json* other = findBy(cedentes, "cnpj", cnpj);
        if (registering) {
            if (other)
                return refuse(409, "Já existe um cedente com o CNPJ " + cnpj + ".");
            Json cedente = {{"id", nextNumber("cedente")},
                            {"cnpj", cnpj},
                            {"criado", stamp},
                            {"atualizado", stamp},
                            {"token_cedente", randomToken()},
                            {"token_esales", randomToken()},
                            {"membros", body}};
            cedentes.push_back(cedente);
            reply = accept(201, "Cedente cadastrado com sucesso.", cedenteData(cedente));
        } else {
            Json* cedente = findById(cedentes, id);
            if (!cedente)
                return refuse(404, "Cedente não encontrado: \"" + id + "\".");
            if (other && other != cedente)
                return refuse(409, "Já existe outro cedente com o CNPJ " + cnpj + ".");
            (*cedente)["cnpj"] = cnpj;
            (*cedente)["atualizado"] = stamp;
            (*cedente)["membros"] = body;
            reply = accept(200, "Cedente alterado com sucesso.", cedenteData(*cedente));
        }
        break;
    }
    case Resource::Conta: {
        const Json* cedente = findBy(cedentes, "cnpj", cnpj);
        if (!cedente)
            return refuse(404, "Nenhum cedente cadastrado com o CNPJ " + cnpj + ".");
        if (registering) {
            Json conta = {{"id", nextNumber("conta")},
                          {"cedente", cedente->at("id")},
                          {"criado", stamp},
                          {"atualizado", stamp},
                          {"membros", body}};
            contas.push_back(conta);
            reply = accept(201, "Conta cadastrada com sucesso.", contaData(conta));
        } else {
            Json* conta = findById(contas, id);
            if (!conta || conta->at("cedente") != cedente->at("id"))
                return refuse(404, "Conta não encontrada para este cedente: \"" + id + "\".");
            (*conta)["atualizado"] = stamp;
            (*conta)["membros"] = body;
            reply = accept(200, "Conta alterada com sucesso.", contaData(*conta));
        }
        break;
    }
    case Resource::Convenio: {
        const Json* cedente = findBy(cedentes, "cnpj", cnpj);
        if (!cedente)
            return refuse(404, "Nenhum cedente cadastrado com o CNPJ " + cnpj + ".");
        const std::string contaId = body.at("Conta").get<std::string>();
        const Json* conta = findById(contas, contaId);
        if (!conta || conta->at("cedente") != cedente->at("id"))
            return refuse(404, "Conta não encontrada para este cedente: \"" + contaId + "\".");
        if (registering) {
            char numero[16];
            std::snprintf(numero, sizeof numero, "%08lld", nextNumber("remessa"));
            Json convenio = {{"id", nextNumber("convenio")},
                             {"numero_remessa", numero},
                             {"conta", conta->at("id")},
                             {"cedente", cedente->at("id")},
                             {"criado", stamp},
                             {"atualizado", stamp},
                             {"membros", body}};
            convenios.push_back(convenio);
            reply = accept(201, "Convênio cadastrado com sucesso.", convenioData(convenio));
        } else {
            Json* convenio = findBy(convenios, "numero_remessa", id);
            if (!convenio || convenio->at("cedente") != cedente->at("id"))
                return refuse(404, "Convênio não encontrado para este cedente: \"" + id + "\".");
            (*convenio)["conta"] = conta->at("id");
            (*convenio)["atualizado"] = stamp;
            (*convenio)["membros"] = body;
            reply = accept(200, "Convênio alterado com sucesso.", convenioData(*convenio));
        }
        break;
    }
    }
    if (!dryRun)
        save();
    return reply;
}
