// Any bytes as a platform reply body, handled as the operation handles
// it: decoded, parsed, judged; on success the members of "_dados" are
// read as texts, otherwise the failure text the user sees is made.
#include "check.h"
#include "platformjson.h"
#include "transport.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <string>

using namespace Qt::StringLiterals;

namespace {

// The members the operations copy from "_dados".
const char* const replyMembers[] = {"id",
                                    "criado",
                                    "atualizado",
                                    "token_cedente",
                                    "token_esales",
                                    "situacao",
                                    "id_software_house",
                                    "config_email",
                                    "config_notificacao",
                                    "motivo_inativacao",
                                    "data_ativacao",
                                    "data_inativacao",
                                    "certificado",
                                    "dtvencimentocertificado",
                                    "numero_remessa",
                                    "conta",
                                    "cedente"};

bool mayHoldReplacementCharacter(const QByteArray& body)
{
    return body.contains("\xEF\xBF\xBD") || body.toLower().contains("ufffd");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray body(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const PlatformReply reply(body);
    const bool parsed = reply.form() == PlatformReply::Form::Json;
    expect(parsed || reply.json().is_null(), "only a parsed reply has a value");

    const Json* dados = reply.data();
    if (reply.isSuccess()) {
        expect(reply.status() == "sucesso"_L1 && dados, "a success has its status and data");
        for (const char* name : replyMembers)
            (void)reply.dataText(name);
        for (const auto& [name, value] : dados->items()) {
            if (name.find('\0') == std::string::npos)
                expect(memberText(*dados, name.c_str()) == jsonText(value),
                       "a member's text is the text of its value");
        }
        return 0;
    }

    const QString text = reply.failureText();
    expect(!text.isEmpty(), "a failure is never shown as an empty text");
    expect(!text.back().isHighSurrogate(), "a shortened reply is not cut inside a character");
    expect(!text.contains(QLatin1String(softwareHouseToken)),
           "a failure never shows the software house's token");
    if (parsed) {
        const QString compact = compactText(reply.json());
        expect(text.endsWith(compact), "a readable failure shows the whole reply");
        expect(mayHoldReplacementCharacter(body) || !compact.contains(QChar::ReplacementCharacter),
               "the compact text keeps every character of the reply");
    } else {
        expect(text.size() <= 100 + PlatformReply::shownPrefixLength + 1,
               "an unreadable reply is shown shortened");
    }
    return 0;
}
