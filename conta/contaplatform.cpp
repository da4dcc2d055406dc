#include "contaplatform.h"

#include "errors.h"
#include "notices.h"
#include "operation.h"
#include "requestbeneficiary.h"
#include "untDM.h"

namespace {

[[noreturn]] void stop(UserNotices& notices, const QString& text)
{
    notices.notice(text);
    throw SilentAbort();
}

// The checks both operations make, in this order.
void checkConta(Tdm& dm, UserNotices& notices)
{
    if (dm.qrBoletoConta->RecordCount() == 0)
        stop(notices, QStringLiteral("Selecione uma Conta para Registrar na API."));
    if (dm.qrBoletoContaBCOCONTACODBENEFICIARIO->AsString().isEmpty())
        stop(notices, QStringLiteral("Código da Conta do Beneficiário é campo obrigatório."));
}

std::vector<RequestMember> requestMembers(Tdm& dm)
{
    const auto text = [](Field* f) { return RequestValue(f->AsString()); };
    const QString empresa = dm.qrBoletoContaBCOCONTACODIGOEMPRESA->AsString();
    return {
        {QStringLiteral("ContaCodigoBanco"), text(dm.qrBoletoContaBCOCONTACODIGOBANCO)},
        {QStringLiteral("ContaAgencia"), text(dm.qrBoletoContaBCOCONTAAGENCIA)},
        {QStringLiteral("ContaAgenciaDV"), text(dm.qrBoletoContaBCOCONTAAGENCIADV)},
        {QStringLiteral("ContaNumero"), text(dm.qrBoletoContaBCOCONTANUMERO)},
        {QStringLiteral("ContaNumeroDV"), text(dm.qrBoletoContaBCOCONTANUMERODV)},
        {QStringLiteral("ContaTipo"), text(dm.qrBoletoContaBCOCONTATIPO)},
        {QStringLiteral("ContaCodigoBeneficiario"), text(dm.qrBoletoContaBCOCONTACODBENEFICIARIO)},
        {QStringLiteral("ContaCodigoEmpresa"),
         RequestValue(empresa.isEmpty() ? QStringLiteral("") : empresa)},
        // The platform's validation and updated printing stay off whatever
        // the account's flags say.
        {QStringLiteral("ContaValidacaoAtiva"), RequestValue(false)},
        {QStringLiteral("ContaImpressaoAtualizada"), RequestValue(false)},
    };
}

void sendConta(Tdm& dm, UserNotices& notices, PlatformOperation& op)
{
    checkConta(dm, notices);
    op.requestMembers = requestMembers(dm);
    op.record = dm.qrBoletoConta;
    op.replyMembers.push_back({"criado", dm.qrBoletoContaBCODATACRIADO});
    op.replyMembers.push_back({"atualizado", dm.qrBoletoContaBCODATAATUALIZADO});
    runPlatformOperationFor(dm, notices, op, dm.qrBoletoContaBCECNPJ->AsString());
}

} // namespace

void registerConta(Tdm& dm, UserNotices& notices)
{
    // An account that has an identifier already is sent again: the
    // platform's answer replaces it.
    PlatformOperation op;
    op.method = QStringLiteral("POST");
    op.url = dm.Plataforma.url + PlatformPath::contas();
    op.replyMembers.push_back({"id", dm.qrBoletoContaBCOCONTAID});
    op.successText = QStringLiteral("Conta Cadastrada com Sucesso.\rID: ");
    sendConta(dm, notices, op);
}

void updateConta(Tdm& dm, UserNotices& notices)
{
    // The identifier as stored, not encoded; without one the request goes
    // to the resource itself, and the platform answers.
    PlatformOperation op;
    op.method = QStringLiteral("PUT");
    op.url = dm.Plataforma.url + PlatformPath::contas() + dm.qrBoletoContaBCOCONTAID->AsString();
    op.successText = QStringLiteral("Conta Alterada com Sucesso.\rID: ");
    sendConta(dm, notices, op);
}
