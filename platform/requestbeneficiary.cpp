#include "requestbeneficiary.h"

#include "notices.h"
#include "operation.h"
#include "untDM.h"

namespace {

// Puts the beneficiary on the current row of qrBoletoCedente while it
// lives.
class RequestBeneficiary
{
public:
    RequestBeneficiary(Tdm& dm, const QString& cnpj) : m_set(dm.qrBoletoCedente)
    {
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
    ~RequestBeneficiary() { release(); }
    RequestBeneficiary(const RequestBeneficiary&) = delete;
    RequestBeneficiary& operator=(const RequestBeneficiary&) = delete;

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
    AfterRequestNotices(UserNotices& shown, RequestBeneficiary& beneficiary)
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
    RequestBeneficiary& m_beneficiary;
};

} // namespace

bool runPlatformOperationFor(Tdm& dm, UserNotices& notices, const PlatformOperation& operation,
                             const QString& cnpj)
{
    RequestBeneficiary beneficiary(dm, cnpj);
    AfterRequestNotices afterRequest(notices, beneficiary);
    return runPlatformOperation(dm, afterRequest, operation);
}
