// A local database file opened by the embedded engine, as the demo does:
// no server involved.
#include "testserver.h"
#include "untDM.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestEmbedded : public QObject
{
    Q_OBJECT
private slots:
    void opensPostsAndReadsBack();
};

void TestEmbedded::opensPostsAndReadsBack()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"demo.fdb"_s);
    {
        Connection creator;
        creator.location().parse(path);
        QCOMPARE(creator.HostName(), QString());
        creator.SetUser(u"SYSDBA"_s);
        creator.CreateDatabase();
        creator.executeScript(readTextFile(sourcePath(u"data/schema.sql"_s)));
        creator.executeScript(readTextFile(sourcePath(u"data/demo.sql"_s)));
    }

    QFile ini(dir.filePath(u"Connect.ini"_s));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write((u"[TORVELA]\ndatabase="_s + path + u"\nUser_Name=SYSDBA\nPassword=x\n"_s).toUtf8());
    ini.close();

    RecordingNotices notices;
    Tdm module(&notices);
    module.setConfigDirectory(dir.path());
    module.DataModuleCreate();
    QCOMPARE(notices.texts, QStringList());
    QVERIFY(module.BcoDados.Connected());

    module.qrEmpresa->Open();
    QCOMPARE(module.qrEmpresa->RecordCount(), 3);
    QCOMPARE(module.qrEmpresaNOME->AsString(), u"Padaria Pão de Açúcar Ltda"_s);

    module.qrBoletoCedente->Open();
    module.qrBoletoCedente->Append();
    module.qrBoletoCedenteBCERAZAO->SetAsString(module.qrEmpresaNOME->AsString());
    module.qrBoletoCedente->Post();
    module.qrBoletoCedente->Close();
    module.qrBoletoCedente->Open();
    QCOMPARE(module.qrBoletoCedente->RecordCount(), 1);
    QCOMPARE(module.qrBoletoCedenteBCECODIGO->AsInteger(), 1);
    QCOMPARE(module.qrBoletoCedenteBCERAZAO->AsString(), u"Padaria Pão de Açúcar Ltda"_s);
    module.BcoDados.Disconnect();
}

QTEST_GUILESS_MAIN(TestEmbedded)
#include "tst_embedded.moc"
