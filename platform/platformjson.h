#pragma once

#include <QByteArray>
#include <QString>

#include <nlohmann/json.hpp>

#include <string_view>
#include <utility>
#include <variant>
#include <vector>

// The JSON that travels to and from the platform: the request object and
// its body text, and the reply with its envelope ("_status", "_dados").

// The value of one request member: a text or a boolean.
using RequestValue = std::variant<QString, bool>;
using RequestMember = std::pair<QString, RequestValue>;

// A request object: named members written in the order they were put.
class RequestObject
{
public:
    RequestObject() = default;
    explicit RequestObject(std::vector<RequestMember> members);

    // Adds a member, or replaces the value of one of that name in place.
    void put(const QString& name, const RequestValue& value);
    void putText(const QString& name, const QString& text) { put(name, text); }
    void putBool(const QString& name, bool value) { put(name, value); }

    const std::vector<RequestMember>& members() const { return m_members; }

    // The body text: "{", each member on a line of its own after CR LF and
    // one space, "," after every value but the last, CR LF, "}"; "{}" when
    // empty. Every character outside printable ASCII is escaped, so the
    // text is pure ASCII.
    QString bodyText() const;

private:
    std::vector<RequestMember> m_members;
};

using Json = nlohmann::ordered_json;

// The text of a reply value: a string's characters, "null", "true" and
// "false", an integer's digits, another number in plain decimal notation,
// and the compact text of an object or array.
QString jsonText(const Json& value);

// The compact text of a value: no line breaks or spaces, only the quotation
// mark, reverse solidus, solidus and U+0000 escaped inside strings.
QString compactText(const Json& value);

// The text of member `name` of an object; "" when it is missing or when
// `object` is no object.
QString memberText(const Json& object, const char* name);

// Whether member `name` holds a credential that no failure text shows:
// its name has "secret", "senha" or "password" in it (in any case), or it
// is the software house's "token-sh".
bool isSecretMember(std::string_view name);

// A reply body read as the platform's envelope.
class PlatformReply
{
public:
    enum class Form
    {
        Json,    // parsed
        Empty,   // no bytes at all
        NotUtf8, // bytes that are not UTF-8
        NotJson, // UTF-8 text that is not one standard JSON value
        TooDeep  // JSON nested deeper than the program follows
    };

    // Texts shown in place of a reply the program cannot work on, and the
    // most characters of such a reply shown after them.
    static constexpr int shownPrefixLength = 500;
    static constexpr int maxNesting = 200;

    explicit PlatformReply(const QByteArray& body);

    Form form() const { return m_form; }
    // The parsed reply; null unless form() is Json.
    const Json& json() const { return m_json; }

    // The text of "_status"; "" when there is none.
    QString status() const;
    // "_status" is exactly "sucesso" and "_dados" is an object.
    bool isSuccess() const;
    // "_dados" when it is an object, otherwise nullptr.
    const Json* data() const;
    // The text of a member of "_dados"; "" when it is missing.
    QString dataText(const char* name) const;

    // What the user is shown when the reply is no success: the compact text
    // of the whole reply, or a short explanation followed by the start of
    // the reply text when it cannot be read as the envelope. Credentials a
    // reply repeats are shown as "***": the values of secret members
    // (isSecretMember), also in a text that is not JSON, and the software
    // house's token wherever it stands.
    QString failureText() const;

private:
    QString shownPrefix() const;

    QByteArray m_body;
    Form m_form = Form::Empty;
    Json m_json;
};
