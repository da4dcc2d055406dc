#include "operation.h"

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
    record->Edit();
    for (const auto& [member, field] : operation.replyMembers)
        field->SetAsString(reply.dataText(member));
    record->Post();
    notices.notice(operation.successText + reply.dataText("id"));
    return true;
}
