#include "operation.h"

#include "errors.h"
#include "notices.h"
#include "recordset.h"
#include "untDM.h"

bool runPlatformOperation(Tdm& dm, UserNotices& notices, const PlatformOperation& operation)
{
    if (operation.checks)
        operation.checks();

    const QString body = RequestObject(operation.requestMembers).bodyText();
    const PlatformReply reply(dm.HttpRequest(body, operation.method, operation.url,
                                             platformTimeoutMs, platformContentType()));

    if (!reply.isSuccess()) {
        QString text = reply.failureText();
        // A platform message may quote what it was sent as plain text: a
        // credential sent stays hidden there too. Too short a value would
        // hide ordinary words, and is no secret worth the name anyway.
        for (const auto& [name, value] : operation.requestMembers) {
            const QString* sent = std::get_if<QString>(&value);
            if (sent && sent->size() >= 4 && isSecretMember(name.toStdString()))
                text.replace(*sent, QStringLiteral("***"));
        }
        notices.notice(text);
        return false;
    }

    RecordSet* record = operation.record;
    const QString id = reply.dataText("id");
    try {
        record->Edit();
        for (const auto& [member, field] : operation.replyMembers)
            field->SetAsString(reply.dataText(member));
        record->Post();
    } catch (const Failure& e) {
        // The platform has done its part: the user must not lose sight of
        // what it answered, even though the local copy could not be kept.
        record->Cancel();
        throw Failure(e.message() +
                      QStringLiteral("\r\rA plataforma concluiu a operação, mas o resultado não "
                                     "foi gravado neste computador.\rID: ") +
                      id);
    }
    notices.notice(operation.successText + id);
    return true;
}
