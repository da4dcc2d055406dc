#include "convenioplatform.h"

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

std::vector<RequestMember> requestMembers(Tdm& dm)
{
    const auto text = [](Field* f) { return RequestValue(f->AsString()); };
    // Only "1" is yes; "0", an empty flag or anything else is no.
    const auto flag = [](Field* f) { return RequestValue(f->AsString() == QStringLiteral("1")); };
    return {
        {QStringLiteral("ConvenioNumero"), text(dm.qrBoletoConvenioBCVCONVENIONUMERO)},
        {QStringLiteral("ConvenioDescricao"), text(dm.qrBoletoConvenioBCVCONVENIODESCRICAO)},
        {QStringLiteral("ConvenioCarteira"), text(dm.qrBoletoConvenioBCVCONVENIOCARTEIRA)},
        {QStringLiteral("carteira_codigo"), text(dm.qrBoletoConvenioBCVCONVENIOCARTEIRACODIGO)},
        {QStringLiteral("ConvenioEspecie"), text(dm.qrBoletoConvenioBCVCONVENIOESPECIE)},
        {QStringLiteral("ConvenioPadraoCNAB"), text(dm.qrBoletoConvenioBCVCONVENIOPADRAOCNAB)},
        {QStringLiteral("ConvenioReiniciarDiariamente"),
         flag(dm.qrBoletoConvenioBCVCONVENIOREINICIARDIARIA)},
        {QStringLiteral("ConvenioNumeroRemessa"),
         text(dm.qrBoletoConvenioBCVCONVENIONUMEROREMESSA)},
        {QStringLiteral("Conta"), text(dm.qrBoletoConvenioBCOCONTAID)},
        {QStringLiteral("ConvenioDensidaDeRemessa"),
         text(dm.qrBoletoConvenioBCVCONVENIODENSIDAREMESSA)},
        {QStringLiteral("ConvenioRegistroInstantaneo"),
         flag(dm.qrBoletoConvenioBCVCONVENIOREGINSTA)},
        {QStringLiteral("ConvenioApiId"), text(dm.qrBoletoConvenioBCVCONVENIOAPIID)},
        {QStringLiteral("ConvenioApiKey"), text(dm.qrBoletoConvenioBCVCONVENIOAPIKEY)},
        {QStringLiteral("ConvenioApiSecret"), text(dm.qrBoletoConvenioBCVCONVENIOAPISECRET)},
        {QStringLiteral("ConvenioEstacao"), text(dm.qrBoletoConvenioBCVCONVENIOESTACAO)},
        {QStringLiteral("ConvenioNossoNumeroBanco"),
         flag(dm.qrBoletoConvenioBCVCONVENIONOSSONUMEROBANCO)},
        {QStringLiteral("ConvenioNossoNumeroConciliarBanco"),
         flag(dm.qrBoletoConvenioBCVCONVENIONOSSONUMCONCILIA)},
        {QStringLiteral("Conveniotipowebservice"),
         text(dm.qrBoletoConvenioBCVCONVENIOTIPOWEBSERVICE)},
        {QStringLiteral("ConvenioConsultaws"), flag(dm.qrBoletoConvenioBCVCONVENIOCONSULTAWS)},
        {QStringLiteral("ConvenioNumeroContrato"),
         text(dm.qrBoletoConvenioBCVCONVENIONUMEROCONTRATO)},
        {QStringLiteral("ConvenioVersaoLayoutArquivo"),
         text(dm.qrBoletoConvenioBCVCONVENIOVERSAOLAYOUTARQ)},
    };
}

void sendConvenio(Tdm& dm, UserNotices& notices, PlatformOperation& op)
{
    op.requestMembers = requestMembers(dm);
    op.record = dm.qrBoletoConvenio;
    op.replyMembers.push_back({"criado", dm.qrBoletoConvenioBCVCONVENIODATACRIADO});
    op.replyMembers.push_back({"atualizado", dm.qrBoletoConvenioBCVCONVENIODATAATUALIZADO});
    runPlatformOperationFor(dm, notices, op, agreementBeneficiaryCnpj(dm));
}

} // namespace

QString agreementBeneficiaryCnpj(Tdm& dm)
{
    const QString contaId = dm.qrBoletoConvenioBCOCONTAID->AsString();
    RecordSet* conta = dm.qrBoletoConta;
    if (conta->Active() && conta->RecNo() >= 0 && dm.qrBoletoContaBCOCONTAID->AsString() == contaId)
        return dm.qrBoletoContaBCECNPJ->AsString();
    RecordSet* aux = dm.qrAux;
    aux->Close();
    aux->SetSQL(QStringLiteral("select bceCNPJ from BoletoConta where bcoContaID = :xContaID "
                               "order by bcoCodigo"));
    aux->ParamByName(QStringLiteral("xContaID")).SetAsString(contaId);
    aux->Open();
    const QString cnpj = aux->RecordCount() > 0 ? aux->Fields(0).AsString() : QString();
    aux->Close();
    return cnpj;
}

void registerConvenio(Tdm& dm, UserNotices& notices)
{
    if (dm.qrBoletoConvenio->RecordCount() == 0)
        stop(notices, QStringLiteral("Selecione um Convênio para Registrar na API."));
    if (!dm.qrBoletoConvenioBCVCONVENIODATACRIADO->AsString().isEmpty())
        stop(notices, QStringLiteral("Convênio cadastrado na API, só pode ser Alterado."));
    PlatformOperation op;
    op.method = QStringLiteral("POST");
    op.url = dm.Plataforma.url + PlatformPath::convenios();
    // The platform numbers the agreement: its number replaces the one typed.
    op.replyMembers.push_back({"numero_remessa", dm.qrBoletoConvenioBCVCONVENIONUMERO});
    op.successText = QStringLiteral("Convênio Cadastrado com Sucesso.\rID: ");
    sendConvenio(dm, notices, op);
}

void updateConvenio(Tdm& dm, UserNotices& notices)
{
    if (dm.qrBoletoConvenio->RecordCount() == 0)
        stop(notices, QStringLiteral("Selecione um Convênio para Alterar na API."));
    // The number as stored, not encoded; without one the request goes to
    // the resource itself, and the platform answers. A never-registered
    // agreement is sent too: only the platform's reply decides.
    PlatformOperation op;
    op.method = QStringLiteral("PUT");
    op.url = dm.Plataforma.url + PlatformPath::convenios() +
             dm.qrBoletoConvenioBCVCONVENIONUMERO->AsString();
    op.successText = QStringLiteral("Convênio Alterado com Sucesso.\rID: ");
    sendConvenio(dm, notices, op);
}
