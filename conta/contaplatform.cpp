#include "contaplatform.h"

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

// Puts the account's beneficiary on the current row of qrBoletoCedente
// while it lives (see contaplatform.h).
class AccountBeneficiary
{
public:
    explicit AccountBeneficiary(Tdm& dm) : m_set(dm.qrBoletoCedente)
    {
        const QString cnpj = dm.qrBoletoContaBCECNPJ->AsString();
        if (!m_set->Active()) {
            m_set->Open();
            m_opened = true;
        }
        if (!cnpj.isEmpty() && m_set->Locate(QStringLiteral("BCECNPJ"), cnpj))
            return;
        m_set->Edit(); // a new row when there is none
        m_standIn = true;
        dm.qrBoletoCedenteBCECNPJ->SetAsString(cnpj);
    }
    ~AccountBeneficiary() { release(); }
    AccountBeneficiary(const AccountBeneficiary&) = delete;
    AccountBeneficiary& operator=(const AccountBeneficiary&) = delete;

    // Leaves qrBoletoCedente as the windows know it: a stand-in value
    // dropped, a set opened for the request closed again.
    void release()
    {
        if (m_standIn) {
            m_standIn = false;
            m_set->Cancel();
        }
        if (m_opened) {
            m_opened = false;
            m_set->Close();
        }
    }

private:
    RecordSet* m_set;
    bool m_opened = false;
    bool m_standIn = false;
};

// Passes the operation's messages on once the request is over, so the
// boxes never show a stand-in beneficiary behind them.
class AfterRequestNotices : public UserNotices
{
public:
    AfterRequestNotices(UserNotices& shown, AccountBeneficiary& beneficiary)
        : m_shown(shown), m_beneficiary(beneficiary)
    {
    }
    void notice(const QString& text) override
    {
        m_beneficiary.release();
        m_shown.notice(text);
    }

private:
    UserNotices& m_shown;
    AccountBeneficiary& m_beneficiary;
};

void sendConta(Tdm& dm, UserNotices& notices, PlatformOperation& op)
{
    checkConta(dm, notices);
    op.requestMembers = requestMembers(dm);
    op.record = dm.qrBoletoConta;
    op.replyMembers.push_back({"criado", dm.qrBoletoContaBCODATACRIADO});
    op.replyMembers.push_back({"atualizado", dm.qrBoletoContaBCODATAATUALIZADO});
    AccountBeneficiary beneficiary(dm);
    AfterRequestNotices afterRequest(notices, beneficiary);
    runPlatformOperation(dm, afterRequest, op);
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
