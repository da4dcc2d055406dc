// One workstation of tst_workstations: includes and alters beneficiaries,
// accounts and agreements through the data module's record sets, as the
// windows do, retrying a save the database refused the way a user presses
// "Gravar" again.
//   workstation DATABASE-PATH NAME COUNT START-FILE
// Waits for START-FILE to exist, so that both workstations begin together;
// prints "retries N" at the end. Exit status 0 when every row was saved.
#include "errors.h"
#include "testserver.h"
#include "untDM.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>

#include <cstdio>
#include <functional>

using namespace Qt::StringLiterals;

namespace {
int retries = 0;

// Posts, again and again while the database refuses (a key taken by the
// other workstation meanwhile), as the data-entry window allows.
void postRetrying(RecordSet* set)
{
    for (int attempt = 0;; ++attempt) {
        try {
            set->Post();
            return;
        } catch (const DatabaseError&) {
            if (attempt == 50)
                throw;
            ++retries;
        }
    }
}

void includeAndAlter(RecordSet* set, const std::function<void()>& fill,
                     const std::function<void()>& alter)
{
    set->Append();
    fill();
    postRetrying(set);
    set->Edit();
    alter();
    postRetrying(set);
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: workstation DATABASE-PATH NAME COUNT START-FILE\n");
        return 2;
    }
    const QString path = args[1], name = args[2];
    const int count = args[3].toInt();
    while (!QFile::exists(args[4]))
        QThread::msleep(5);

    RecordingNotices notices;
    Tdm dm(&notices);
    const TestServer server = TestServer::fromEnvironment();
    server.useDatabase(dm, path);
    try {
        dm.qrBoletoCedente->Open();
        dm.qrBoletoConta->Open();
        dm.qrBoletoConvenio->ParamByName(u"xContaID"_s).SetAsString(name);
        dm.qrBoletoConvenio->Open();
        for (int i = 0; i < count; ++i) {
            const QString mark = u"%1-%2"_s.arg(name).arg(i);
            includeAndAlter(
                dm.qrBoletoCedente, [&] { dm.qrBoletoCedenteBCERAZAO->SetAsString(mark); },
                [&] { dm.qrBoletoCedenteBCEFANTASIA->SetAsString(u"alterado "_s + mark); });
            includeAndAlter(
                dm.qrBoletoConta, [&] { dm.qrBoletoContaBCOCONTANUMERO->SetAsString(mark); },
                [&] { dm.qrBoletoContaBCOSTATUS->SetAsString(u"alterado"_s); });
            includeAndAlter(
                dm.qrBoletoConvenio,
                [&] {
                    dm.qrBoletoConvenioBCOCONTAID->SetAsString(name);
                    dm.qrBoletoConvenioBCVCONVENIODESCRICAO->SetAsString(mark);
                },
                [&] { dm.qrBoletoConvenioBCVCONVENIOESTACAO->SetAsString(u"alterado"_s); });
        }
    } catch (const Failure& e) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(name), qPrintable(e.message()));
        return 1;
    }
    std::printf("retries %d\n", retries);
    return 0;
}
