#pragma once

#include "platformjson.h"

#include <QString>

#include <functional>
#include <utility>
#include <vector>

class Field;
class RecordSet;
class Tdm;
class UserNotices;

// The platform's resources, appended to its base address
// (Tdm::Plataforma.url); an update appends the record's identifier.
namespace PlatformPath {
inline QString cedentes()
{
    return QStringLiteral("/api/v1/cedentes/");
}
inline QString contas()
{
    return QStringLiteral("/api/v1/cedentes/contas/");
}
inline QString convenios()
{
    return QStringLiteral("/api/v1/cedentes/contas/convenios/");
}
} // namespace PlatformPath

// What every platform request passes to Tdm::HttpRequest besides its own
// body, method and address.
inline constexpr int platformTimeoutMs = 10000;
inline QString platformContentType()
{
    return QStringLiteral("application/json");
}

// One platform operation (register or update of a beneficiary, account or
// agreement), as the window handler describes it.
struct PlatformOperation
{
    // Runs first. A failing check shows its notice and throws SilentAbort;
    // nothing is sent then.
    std::function<void()> checks;
    // The request body's members, in order.
    std::vector<RequestMember> requestMembers;
    QString method; // "POST" to register, "PUT" to update
    QString url;    // complete: base address, resource path, identifier
    // The record that receives the reply: its current row is edited and
    // posted on success.
    RecordSet* record = nullptr;
    // Members of "_dados" copied, in order, into the record's columns; a
    // missing member gives the empty text.
    std::vector<std::pair<const char*, Field*>> replyMembers;
    // Shown on success followed directly by the text of "_dados" "id";
    // ends with "\rID: ".
    QString successText;
};

// Runs one operation: checks, body, request, reply. A reply that is no
// success (any "_status" but "sucesso", no "_dados" object, no JSON at all)
// is shown through `notices` and leaves every record set as it was; the
// result is then false. On success the record is edited, the reply members
// are copied (cut to the column sizes), the record is posted and the
// success text is shown; the result is true. Exceptions of the checks and
// the transport go on to the caller; a failed post is cancelled and raised
// again with the platform's "id" added to its message.
bool runPlatformOperation(Tdm& dm, UserNotices& notices, const PlatformOperation& operation);
