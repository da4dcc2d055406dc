#include "cedenteplatform.h"

#include "errors.h"
#include "notices.h"
#include "operation.h"
#include "untDM.h"

namespace {

[[noreturn]] void stop(UserNotices& notices, const QString& text)
{
    notices.notice(text);
    throw SilentAbort();
}

// The checks both operations make, in this order; only the first failing
// one is shown.
void checkCnpjAndAddress(Tdm& dm, UserNotices& notices)
{
    if (dm.qrBoletoCedenteBCECNPJ->AsString().size() < 14)
        stop(notices, QStringLiteral("CNPJ Inválido, por favor verifique."));
    if (dm.qrBoletoCedenteBCELOGRADOURO->AsString().isEmpty())
        stop(notices, QStringLiteral("O campo Logradouro é Obrigatório, preencha corretamente."));
    if (dm.qrBoletoCedenteBCECEP->AsString().isEmpty())
        stop(notices, QStringLiteral("O campo CEP é Obrigatório, preencha corretamente."));
    if (dm.qrBoletoCedenteBCECODIBGECIDADE->AsString().isEmpty())
        stop(notices,
             QStringLiteral("O campo Código IBGE da Cidade é Obrigatório, preencha corretamente."));
}

std::vector<RequestMember> requestMembers(Tdm& dm)
{
    const auto text = [](Field* f) { return RequestValue(f->AsString()); };
    return {
        {QStringLiteral("CedenteRazaoSocial"), text(dm.qrBoletoCedenteBCERAZAO)},
        {QStringLiteral("CedenteCPFCNPJ"), text(dm.qrBoletoCedenteBCECNPJ)},
        {QStringLiteral("CedenteNomeFantasia"), text(dm.qrBoletoCedenteBCEFANTASIA)},
        {QStringLiteral("CedenteEnderecoLogradouro"), text(dm.qrBoletoCedenteBCELOGRADOURO)},
        {QStringLiteral("CedenteEnderecoNumero"), text(dm.qrBoletoCedenteBCENUMERO)},
        {QStringLiteral("CedenteEnderecoComplemento"), text(dm.qrBoletoCedenteBCECOMPLEMENTO)},
        {QStringLiteral("CedenteEnderecoBairro"), text(dm.qrBoletoCedenteBCEBAIRRO)},
        {QStringLiteral("CedenteEnderecoCEP"), text(dm.qrBoletoCedenteBCECEP)},
        {QStringLiteral("CedenteEnderecoCidadeIBGE"), text(dm.qrBoletoCedenteBCECODIBGECIDADE)},
        {QStringLiteral("CedenteTelefone"), text(dm.qrBoletoCedenteBCETELEFONE)},
        {QStringLiteral("CedenteEmail"), text(dm.qrBoletoCedenteBCEEMAIL)},
    };
}

// The members of "_dados" both operations store, after "id".
std::vector<std::pair<const char*, Field*>> replyMembers(Tdm& dm)
{
    return {
        {"criado", dm.qrBoletoCedenteBCEDATACRIADO},
        {"atualizado", dm.qrBoletoCedenteBCEDATAATUALIZADO},
        {"token_cedente", dm.qrBoletoCedenteBCETOKEN},
        {"token_esales", dm.qrBoletoCedenteBCETOKENESALES},
        {"situacao", dm.qrBoletoCedenteBCESITUACAO},
        {"id_software_house", dm.qrBoletoCedenteBCECODSOFTWAREHOUSE},
        {"config_email", dm.qrBoletoCedenteBCECONFIGEMAIL},
        {"config_notificacao", dm.qrBoletoCedenteBCECONFIGNOTIFICACAO},
        {"motivo_inativacao", dm.qrBoletoCedenteBCEMOTIVOINATIVACAO},
        {"data_ativacao", dm.qrBoletoCedenteBCEDATAATIVACAO},
        {"data_inativacao", dm.qrBoletoCedenteBCEDATAINATIVACAO},
        {"certificado", dm.qrBoletoCedenteBCECERTIFICADO},
        {"dtvencimentocertificado", dm.qrBoletoCedenteBCEVENCIMENTOCERTIFICADO},
    };
}

} // namespace

void registerCedente(Tdm& dm, UserNotices& notices)
{
    PlatformOperation op;
    op.checks = [&] {
        // Any character, a blank too, means the platform already has it.
        if (!dm.qrBoletoCedenteBCEIDCEDENTE->AsString().isEmpty())
            stop(notices, QStringLiteral("Empresa já cadastrada como Cedente na API."));
        checkCnpjAndAddress(dm, notices);
    };
    op.requestMembers = requestMembers(dm);
    op.method = QStringLiteral("POST");
    op.url = dm.Plataforma.url + PlatformPath::cedentes();
    op.record = dm.qrBoletoCedente;
    op.replyMembers = replyMembers(dm);
    op.replyMembers.insert(op.replyMembers.begin(), {"id", dm.qrBoletoCedenteBCEIDCEDENTE});
    op.successText = QStringLiteral("Empresa Cadastrada com Sucesso.\rID: ");
    runPlatformOperation(dm, notices, op);
}

void updateCedente(Tdm& dm, UserNotices& notices)
{
    PlatformOperation op;
    op.checks = [&] { checkCnpjAndAddress(dm, notices); };
    op.requestMembers = requestMembers(dm);
    op.method = QStringLiteral("PUT");
    op.url =
        dm.Plataforma.url + PlatformPath::cedentes() + dm.qrBoletoCedenteBCEIDCEDENTE->AsString();
    op.record = dm.qrBoletoCedente;
    op.replyMembers = replyMembers(dm);
    op.successText = QStringLiteral("Empresa Alterada com Sucesso.\rID: ");
    runPlatformOperation(dm, notices, op);
}
