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
        notices.notice(reply.failureText());
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
