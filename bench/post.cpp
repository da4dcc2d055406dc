// bench-post: posting a new beneficiary (key allocation, insert, commit)
// into a table of 100 000 rows against posting into an empty table, both
// with the record set open over its table as the list window has it.
//
//   bench-post [--runs N] [--rows N] [--smoke]
#include "barefetch.h"
#include "support.h"
#include "untDM.h"

#include <QCoreApplication>

#include <stdexcept>

using namespace bench;

namespace {

struct Posting
{
    Samples post;  // Post alone: key allocation, insert, commit
    Samples whole; // Append, the fields a copy fills, Post
    Samples key;   // the key allocation's select alone
};

// The select of the key allocation, run as the data module runs it.
double keyAllocation(Tdm& module)
{
    return timeMs([&] {
        module.qrAux->Close();
        module.qrAux->SetSQL(
            QStringLiteral("select coalesce(max(bceCodigo), 0) from BoletoCedente"));
        module.qrAux->Open();
    });
}

// One new beneficiary, filled as "Copiar" fills it from a company.
void postOne(Tdm& module, int serial, Posting& figures)
{
    RecordSet& set = *module.qrBoletoCedente;
    const double t0 = nowMs();
    set.Append();
    module.qrBoletoCedenteBCERAZAO->SetAsString(
        QStringLiteral("Distribuidora de Parafusos São Jorge %1 Ltda").arg(serial));
    module.qrBoletoCedenteBCEFANTASIA->SetAsString(QStringLiteral("Parafusos São Jorge"));
    module.qrBoletoCedenteBCECNPJ->SetAsString(
        QStringLiteral("77%1").arg(serial, 12, 10, QLatin1Char('0')));
    module.qrBoletoCedenteBCELOGRADOURO->SetAsString(QStringLiteral("Rua Barão de Itapetininga"));
    module.qrBoletoCedenteBCENUMERO->SetAsString(QStringLiteral("255"));
    module.qrBoletoCedenteBCECOMPLEMENTO->SetAsString(QStringLiteral("Conjunto 1204"));
    module.qrBoletoCedenteBCEBAIRRO->SetAsString(QStringLiteral("República"));
    module.qrBoletoCedenteBCECEP->SetAsString(QStringLiteral("01042001"));
    module.qrBoletoCedenteBCECODIBGECIDADE->SetAsString(QStringLiteral("3550308"));
    module.qrBoletoCedenteBCETELEFONE->SetAsString(QStringLiteral("11932104455"));
    module.qrBoletoCedenteBCEEMAIL->SetAsString(QStringLiteral("compras@saojorge.example"));
    const double t1 = nowMs();
    set.Post();
    const double t2 = nowMs();
    if (set.State() != dsBrowse)
        throw std::runtime_error("the post did not end");
    figures.post.add(t2 - t1);
    figures.whole.add(t2 - t0);
    figures.key.add(keyAllocation(module));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Options options = parseOptions(argc, argv, 21);
    header(QStringLiteral("Posting a new beneficiary into a large table vs into an empty one"),
           options);
    const std::optional<Server> server = Server::fromEnvironment();
    if (!server)
        return noServer();
    const int rows = options.smoke ? 200 : options.rows;

    Notices notices;
    QString emptyPath, largePath;
    int rc = 0;
    try {
        Tdm empty(&notices);
        Tdm large(&notices);
        emptyPath = server->createDatabase(empty.BcoDados, QStringLiteral("post-empty"));
        largePath = server->createDatabase(large.BcoDados, QStringLiteral("post-large"));
        line("server: Firebird %s on %s", qPrintable(serverVersion(empty.BcoDados)),
             qPrintable(server->location()));
        fillCedentes(large.BcoDados, 1, rows);
        empty.qrBoletoCedente->Open();
        large.qrBoletoCedente->Open();

        Posting intoEmpty, intoLarge;
        int serial = 0;
        if (!options.smoke) {
            Posting warmUp;
            postOne(empty, ++serial, warmUp);
            postOne(large, ++serial, warmUp);
        }
        for (int run = 0; run < options.runs; ++run) {
            if (run % 2) {
                postOne(large, ++serial, intoLarge);
                postOne(empty, ++serial, intoEmpty);
            } else {
                postOne(empty, ++serial, intoEmpty);
                postOne(large, ++serial, intoLarge);
            }
        }
        // Each new key must have been the table's largest plus one.
        for (Tdm* module : {&empty, &large})
            if (module->qrBoletoCedenteBCECODIGO->AsInteger() !=
                module->qrBoletoCedente->RecordCount())
                throw std::runtime_error("a new key is not the table's largest plus one");

        line("%-28s  %14s  %14s", "", "empty table",
             QStringLiteral("%1 rows").arg(rows).toUtf8().constData());
        line("%-28s  %11.2f ms  %11.2f ms", "Post (key, insert, commit)", intoEmpty.post.median(),
             intoLarge.post.median());
        line("%-28s  %11.2f ms  %11.2f ms", "Append, 11 fields, Post", intoEmpty.whole.median(),
             intoLarge.whole.median());
        line("%-28s  %11.2f ms  %11.2f ms", "its key allocation alone", intoEmpty.key.median(),
             intoLarge.key.median());
        const double ratio = intoLarge.post.median() / intoEmpty.post.median();
        line("target: Post into %d rows <= 2 x into an empty table: %.2f -> %s", rows, ratio,
             options.smoke ? "not judged (smoke)" : verdict(ratio <= 2));
        empty.BcoDados.Disconnect();
        large.BcoDados.Disconnect();
    } catch (const std::exception& e) {
        line("FAILED: %s", e.what());
        rc = 1;
    }
    return dropQuietly(*server, {emptyPath, largePath}, rc);
}
