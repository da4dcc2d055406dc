#include "platformjson.h"

#include "transport.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringDecoder>

#include <string>

using namespace Qt::StringLiterals;

// ---------------------------------------------------------------- request

namespace {

void appendEscaped(QString& out, const QString& text)
{
    out += u'"';
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        switch (u) {
        case u'\b':
            out += "\\b"_L1;
            break;
        case u'\t':
            out += "\\t"_L1;
            break;
        case u'\n':
            out += "\\n"_L1;
            break;
        case u'\f':
            out += "\\f"_L1;
            break;
        case u'\r':
            out += "\\r"_L1;
            break;
        case u'"':
            out += "\\\""_L1;
            break;
        case u'\\':
            out += "\\\\"_L1;
            break;
        case u'/':
            out += "\\/"_L1;
            break;
        default:
            // One escape per UTF-16 code unit: a character beyond U+FFFF
            // becomes its surrogate pair.
            if (u < 0x20 || u >= 0x80)
                out += u"\\u%1"_s.arg(uint(u), 4, 16, QChar(u'0'));
            else
                out += c;
        }
    }
    out += u'"';
}

} // namespace

RequestObject::RequestObject(std::vector<RequestMember> members)
{
    for (const auto& [name, value] : members)
        put(name, value);
}

void RequestObject::put(const QString& name, const RequestValue& value)
{
    for (auto& member : m_members) {
        if (member.first == name) {
            member.second = value;
            return;
        }
    }
    m_members.emplace_back(name, value);
}

QString RequestObject::bodyText() const
{
    if (m_members.empty())
        return u"{}"_s;
    QString out = u"{"_s;
    bool first = true;
    for (const auto& [name, value] : m_members) {
        if (!first)
            out += u',';
        first = false;
        out += "\r\n "_L1;
        appendEscaped(out, name);
        out += ": "_L1;
        if (const bool* b = std::get_if<bool>(&value))
            out += *b ? "true"_L1 : "false"_L1;
        else
            appendEscaped(out, std::get<QString>(value));
    }
    out += "\r\n}"_L1;
    return out;
}

// ---------------------------------------------------------------- reply values

namespace {

QString decimalText(double value)
{
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

void appendCompactString(std::string& out, const std::string& text)
{
    out += '"';
    for (const char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '/':
            out += "\\/";
            break;
        case '\0':
            out += "\\u0000";
            break;
        default:
            out += c;
        }
    }
    out += '"';
}

void appendCompact(std::string& out, const Json& value)
{
    switch (value.type()) {
    case Json::value_t::object: {
        out += '{';
        bool first = true;
        for (const auto& [name, member] : value.items()) {
            if (!first)
                out += ',';
            first = false;
            appendCompactString(out, name);
            out += ':';
            appendCompact(out, member);
        }
        out += '}';
        break;
    }
    case Json::value_t::array: {
        out += '[';
        bool first = true;
        for (const Json& element : value) {
            if (!first)
                out += ',';
            first = false;
            appendCompact(out, element);
        }
        out += ']';
        break;
    }
    case Json::value_t::string:
        appendCompactString(out, value.get_ref<const std::string&>());
        break;
    case Json::value_t::number_float:
        out += decimalText(value.get<double>()).toStdString();
        break;
    default: // null, booleans, integers
        out += value.dump();
    }
}

} // namespace

QString compactText(const Json& value)
{
    std::string out;
    appendCompact(out, value);
    return QString::fromStdString(out);
}

QString jsonText(const Json& value)
{
    switch (value.type()) {
    case Json::value_t::string:
        return QString::fromStdString(value.get_ref<const std::string&>());
    case Json::value_t::null:
        return u"null"_s;
    case Json::value_t::boolean:
        return value.get<bool>() ? u"true"_s : u"false"_s;
    case Json::value_t::number_integer:
        return QString::number(value.get<qint64>());
    case Json::value_t::number_unsigned:
        return QString::number(value.get<quint64>());
    case Json::value_t::number_float:
        return decimalText(value.get<double>());
    default:
        return compactText(value);
    }
}

QString memberText(const Json& object, const char* name)
{
    if (!object.is_object())
        return {};
    const auto it = object.find(name);
    return it == object.end() ? QString() : jsonText(*it);
}

// ---------------------------------------------------------------- credentials

namespace {

const QString hiddenValue = u"***"_s;

bool containsIgnoringCase(std::string_view text, std::string_view part)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    for (size_t start = 0; start + part.size() <= text.size(); ++start) {
        size_t i = 0;
        while (i < part.size() && lower(text[start + i]) == part[i])
            ++i;
        if (i == part.size())
            return true;
    }
    return false;
}

bool equalsIgnoringCase(std::string_view text, std::string_view other)
{
    return text.size() == other.size() && containsIgnoringCase(text, other);
}

void hideSecretMembers(Json& value)
{
    if (value.is_object()) {
        for (auto it = value.begin(); it != value.end(); ++it) {
            if (isSecretMember(it.key()))
                *it = hiddenValue.toStdString();
            else
                hideSecretMembers(*it);
        }
    } else if (value.is_array()) {
        for (Json& element : value)
            hideSecretMembers(element);
    }
}

// The same for a text that is not JSON as a whole, such as a page that
// repeats the request: every "name": "value" pair of a secret member, the
// value possibly cut off by the end of the text.
QString hideSecretsInText(QString text)
{
    static const QRegularExpression secretPair(
        uR"re(("[^"\\]*(?:secret|senha|password|token[-_]sh)[^"\\]*"\s*:\s*)"(?:[^"\\]|\\.)*(?:"|$))re"_s,
        QRegularExpression::CaseInsensitiveOption);
    text.replace(secretPair, u"\\1\"***\""_s);
    return text.replace(QLatin1String(softwareHouseToken), hiddenValue);
}

} // namespace

bool isSecretMember(std::string_view name)
{
    return containsIgnoringCase(name, "secret") || containsIgnoringCase(name, "senha") ||
           containsIgnoringCase(name, "password") || equalsIgnoringCase(name, "token-sh") ||
           equalsIgnoringCase(name, "token_sh");
}

// ---------------------------------------------------------------- reply envelope

PlatformReply::PlatformReply(const QByteArray& body) : m_body(body)
{
    if (body.isEmpty()) {
        m_form = Form::Empty;
        return;
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(body);
    if (decoder.hasError()) {
        m_form = Form::NotUtf8;
        return;
    }
    bool tooDeep = false;
    const Json::parser_callback_t watchDepth = [&tooDeep](int depth, Json::parse_event_t event,
                                                          Json&) {
        if (depth > maxNesting && (event == Json::parse_event_t::object_start ||
                                   event == Json::parse_event_t::array_start))
            tooDeep = true;
        return !tooDeep; // keeps nothing more once too deep
    };
    Json parsed = Json::parse(body.cbegin(), body.cend(), watchDepth, false);
    if (tooDeep) {
        m_form = Form::TooDeep;
    } else if (parsed.is_discarded()) {
        m_form = Form::NotJson;
    } else {
        m_form = Form::Json;
        m_json = std::move(parsed);
    }
}

QString PlatformReply::status() const
{
    return memberText(m_json, "_status");
}

const Json* PlatformReply::data() const
{
    if (!m_json.is_object())
        return nullptr;
    const auto it = m_json.find("_dados");
    return it != m_json.end() && it->is_object() ? &*it : nullptr;
}

bool PlatformReply::isSuccess() const
{
    return status() == "sucesso"_L1 && data();
}

QString PlatformReply::dataText(const char* name) const
{
    const Json* d = data();
    return d ? memberText(*d, name) : QString();
}

QString PlatformReply::shownPrefix() const
{
    // Lossy on purpose: bytes that are not UTF-8 show as replacement marks.
    // Credentials are hidden in a stretch longer than what is shown, so
    // that none is cut in two before it is recognised.
    // A UTF-8 character has at most four bytes.
    constexpr qsizetype examined = 8 * shownPrefixLength;
    const QString start = QString::fromUtf8(m_body.left(4 * examined));
    qsizetype kept = qMin(start.size(), examined);
    if (kept < start.size() && start.at(kept - 1).isHighSurrogate())
        --kept;
    const bool more = kept < start.size() || m_body.size() > 4 * examined;
    QString text = hideSecretsInText(start.left(kept));
    if (text.size() > shownPrefixLength) {
        qsizetype cut = shownPrefixLength;
        if (text.at(cut - 1).isHighSurrogate())
            --cut;
        text.truncate(cut);
        text += u'…';
    } else if (more) {
        text += u'…';
    }
    return text;
}

QString PlatformReply::failureText() const
{
    switch (m_form) {
    case Form::Empty:
        return u"A plataforma enviou uma resposta vazia."_s;
    case Form::NotUtf8:
        return u"A resposta da plataforma não é um texto UTF-8 válido:\r"_s + shownPrefix();
    case Form::NotJson:
        return u"A resposta da plataforma não está no formato JSON:\r"_s + shownPrefix();
    case Form::TooDeep:
        return u"A resposta da plataforma tem níveis demais para ser lida:\r"_s + shownPrefix();
    case Form::Json:
        break;
    }
    Json shown = m_json;
    hideSecretMembers(shown);
    const QString text = compactText(shown).replace(QLatin1String(softwareHouseToken), hiddenValue);
    if (status() == "sucesso"_L1 && !data())
        return u"A plataforma informou sucesso, mas a resposta não traz os dados do registro "
               "(\"_dados\"):\r"_s +
               text;
    return text;
}
