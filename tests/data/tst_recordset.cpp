// The record sets of the data module against a real database: states,
// statements, key allocation, value handling and a second workstation.
#include "errors.h"
#include "testserver.h"
#include "untDM.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

class TestRecordSet : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void schemaMatchesTheFields_data();
    void schemaMatchesTheFields();
    void statesAndTransitions();
    void fieldWritesNeedEditOrInsert();
    void firstKeyIsOneThenOneMoreThanTheLargest();
    void editedRowKeepsItsKeyAndIsFoundByTheKeyAsRead();
    void editOnAnEmptySetStartsANewRow();
    void appendThenCancelLeavesNoTrace();
    void failedPostKeepsStateAndValuesAndRetriesWithAFreshKey();
    void requiredColumnWithoutValueIsRefused();
    void deleteMovesToTheFollowingRow();
    void longTextsAreCutToTheColumnSize();
    void emptyTextIsStoredAsEmptyNotNull();
    void unicodeAndQuotesRoundTrip();
    void agreementDatesAreStored();
    void parametersSelectRows();
    void updateOfARowDeletedElsewhereFails();
    void secondWorkstationPostingTheSameKeyIsRefused();
    void noTransactionStaysOpenAfterARead();
    void companyDeleteMatchesRowsWithoutCode();

private:
    std::unique_ptr<Tdm> newModule();
    void sql(const QString& statement);
    int count(const QString& select);
    void appendCedente(const QString& razao);

    TestServer m_server;
    QString m_path;
    Connection m_admin; // a second workstation, and the test's own hands
    RecordingNotices m_notices;
    std::unique_ptr<Tdm> m_dm;
};

std::unique_ptr<Tdm> TestRecordSet::newModule()
{
    auto module = std::make_unique<Tdm>(&m_notices);
    m_server.useDatabase(*module, m_path);
    module->BcoDados.setLockTimeout(2);
    module->BcoDados.Connect();
    return module;
}

void TestRecordSet::sql(const QString& statement)
{
    m_admin.execute(statement, {});
}

int TestRecordSet::count(const QString& select)
{
    return queryNumber(m_admin, select);
}

void TestRecordSet::appendCedente(const QString& razao)
{
    m_dm->qrBoletoCedente->Append();
    m_dm->qrBoletoCedenteBCERAZAO->SetAsString(razao);
    m_dm->qrBoletoCedente->Post();
}

void TestRecordSet::initTestCase()
{
    if (!TestServer::available())
        return;
    m_server = TestServer::fromEnvironment();
    m_path = m_server.createDatabase(m_admin, u"recordset"_s);
}

void TestRecordSet::init()
{
    REQUIRE_TEST_SERVER();
    for (const char* table : {"BoletoCedente", "BoletoConta", "BoletoConvenio", "Empresa"})
        sql(u"delete from "_s + QLatin1String(table));
    m_notices.texts.clear();
    m_dm = newModule();
}

void TestRecordSet::cleanup()
{
    m_dm.reset();
    QCOMPARE(m_notices.texts, QStringList());
}

void TestRecordSet::schemaMatchesTheFields_data()
{
    QTest::addColumn<QString>("recordSet");
    QTest::addColumn<QString>("table");
    QTest::newRow("usuarios") << "qrUsuario"
                              << "usuarios";
    QTest::newRow("Empresa") << "qrEmpresa"
                             << "Empresa";
    QTest::newRow("BoletoCedente") << "qrBoletoCedente"
                                   << "BoletoCedente";
    QTest::newRow("BoletoConta") << "qrBoletoConta"
                                 << "BoletoConta";
    QTest::newRow("BoletoConvenio") << "qrBoletoConvenio"
                                    << "BoletoConvenio";
}

void TestRecordSet::schemaMatchesTheFields()
{
    QFETCH(QString, recordSet);
    QFETCH(QString, table);
    const RecordSet* set = m_dm->findChild<RecordSet*>(recordSet);
    QVERIFY(set);
    m_dm->qrAux->Close();
    m_dm->qrAux->SetSQL(u"select * from "_s + table);
    m_dm->qrAux->Open();
    QCOMPARE(m_dm->qrAux->FieldCount(), set->FieldCount());
    for (int i = 0; i < set->FieldCount(); ++i) {
        const Field& ours = set->Fields(i);
        const Field& theirs = m_dm->qrAux->Fields(i);
        QCOMPARE(theirs.FieldName(), ours.FieldName());
        QCOMPARE(int(theirs.DataType()), int(ours.DataType()));
        if (ours.DataType() == ColumnKind::Text)
            QCOMPARE(theirs.Size(), ours.Size());
    }
}

void TestRecordSet::statesAndTransitions()
{
    RecordSet* set = m_dm->qrBoletoCedente;
    QSignalSpy states(set, &RecordSet::stateChanged);
    QSignalSpy inserted(set, &RecordSet::rowInserted);
    QSignalSpy removed(set, &RecordSet::rowRemoved);
    QCOMPARE(set->State(), dsInactive);

    set->Open();
    QCOMPARE(set->State(), dsBrowse);
    QCOMPARE(set->RecordCount(), 0);
    QCOMPARE(set->RecNo(), -1);
    QVERIFY(set->Eof());

    set->Append();
    QCOMPARE(set->State(), dsInsert);
    QCOMPARE(inserted.size(), 1);
    set->Edit(); // in dsInsert: nothing
    QCOMPARE(set->State(), dsInsert);
    m_dm->qrBoletoCedenteBCERAZAO->SetAsString(u"Primeiro"_s);
    set->Post();
    QCOMPARE(set->State(), dsBrowse);
    QCOMPARE(set->RecordCount(), 1);

    set->Edit();
    QCOMPARE(set->State(), dsEdit);
    m_dm->qrBoletoCedenteBCERAZAO->SetAsString(u"Alterado"_s);
    set->Edit(); // in dsEdit: nothing, the change stays
    QCOMPARE(m_dm->qrBoletoCedenteBCERAZAO->AsString(), u"Alterado"_s);
    set->Cancel();
    QCOMPARE(set->State(), dsBrowse);
    QCOMPARE(m_dm->qrBoletoCedenteBCERAZAO->AsString(), u"Primeiro"_s);

    set->Post(); // in dsBrowse: nothing
    set->Cancel();
    QCOMPARE(set->State(), dsBrowse);

    set->Edit();
    m_dm->qrBoletoCedenteBCERAZAO->SetAsString(u"Pendente"_s);
    set->Close(); // drops the pending change
    QCOMPARE(set->State(), dsInactive);
    QCOMPARE(count(u"select count(*) from BoletoCedente where BCERAZAO = 'Pendente'"_s), 0);

    set->Open();
    QCOMPARE(set->RecordCount(), 1);
    set->Delete();
    QCOMPARE(set->State(), dsBrowse);
    QCOMPARE(set->RecordCount(), 0);
    QCOMPARE(removed.size(), 1);
    set->Delete(); // no row: nothing
    QCOMPARE(count(u"select count(*) from BoletoCedente"_s), 0);
    QVERIFY(states.size() >= 8);
}

void TestRecordSet::fieldWritesNeedEditOrInsert()
{
    RecordSet* set = m_dm->qrBoletoCedente;
    QVERIFY_THROWS_EXCEPTION(Failure, m_dm->qrBoletoCedenteBCERAZAO->SetAsString(u"x"_s));
    set->Open();
    appendCedente(u"A"_s);
    QCOMPARE(set->State(), dsBrowse);
    QVERIFY_THROWS_EXCEPTION(Failure, m_dm->qrBoletoCedenteBCERAZAO->SetAsString(u"x"_s));
    QVERIFY_THROWS_EXCEPTION(Failure, m_dm->qrBoletoCedenteBCECODIGO->SetAsInteger(7));
    QCOMPARE(m_dm->qrBoletoCedenteBCERAZAO->AsString(), u"A"_s);
}

void TestRecordSet::firstKeyIsOneThenOneMoreThanTheLargest()
{
    RecordSet* set = m_dm->qrBoletoCedente;
    set->Open();
    set->Append();
    QCOMPARE(m_dm->qrBoletoCedenteBCECODIGO->AsString(), QString()); // no code before saving
    m_dm->qrBoletoCedenteBCERAZAO->SetAsString(u"um"_s);
    set->Post();
    QCOMPARE(m_dm->qrBoletoCedenteBCECODIGO->AsInteger(), 1);
    appendCedente(u"dois"_s);
    QCOMPARE(m_dm->qrBoletoCedenteBCECODIGO->AsInteger(), 2);

    // A gap below the largest key is not filled ...
    sql(u"insert into BoletoCedente (BCECODIGO, BCERAZAO) values (10, 'dez')"_s);
    sql(u"delete from BoletoCedente where BCECODIGO = 2"_s);
    appendCedente(u"onze"_s);
    QCOMPARE(m_dm->qrBoletoCedenteBCECODIGO->AsInteger(), 11);
    // ... while the key of a removed last row is given again.
    sql(u"delete from BoletoCedente where BCECODIGO = 11"_s);
    appendCedente(u"onze de novo"_s);
    QCOMPARE(m_dm->qrBoletoCedenteBCECODIGO->AsInteger(), 11);

    // The agreements' keys count over every account, not only the one listed.
    sql(u"insert into BoletoConvenio (BCVCODIGO, BCOCONTAID) values (40, 'outra')"_s);
    m_dm->qrBoletoConvenio->ParamByName(u"xContaID"_s).SetAsString(u"esta"_s);
    m_dm->qrBoletoConvenio->Open();
    QCOMPARE(m_dm->qrBoletoConvenio->RecordCount(), 0);
    m_dm->qrBoletoConvenio->Append();
    m_dm->qrBoletoConvenioBCOCONTAID->SetAsString(u"esta"_s);
    m_dm->qrBoletoConvenio->Post();
    QCOMPARE(m_dm->qrBoletoConvenioBCVCODIGO->AsInteger(), 41);

    m_dm->qrBoletoConta->Open();
    m_dm->qrBoletoConta->Append();
    m_dm->qrBoletoConta->Post();
    QCOMPARE(m_dm->qrBoletoContaBCOCODIGO->AsInteger(), 1);
}

void TestRecordSet::editedRowKeepsItsKeyAndIsFoundByTheKeyAsRead()
{
    sql(u"insert into BoletoCedente (BCECODIGO, BCERAZAO) values (3, 'três')"_s);
    sql(u"insert into BoletoCedente (BCECODIGO, BCERAZAO) values (8, 'oito')"_s);
    RecordSet* set = m_dm->qrBoletoCedente;
    set->Open();
    set->First();
    set->Edit();
    m_dm->qrBoletoCedenteBCERAZAO->SetAsString(u"três alterado"_s);
    set->Post();
    QCOMPARE(m_dm->qrBoletoCedenteBCECODIGO->AsInteger(), 3); // not reallocated
    QCOMPARE(
        count(
            u"select count(*) from BoletoCedente where BCECODIGO = 3 and BCERAZAO = 'três alterado'"_s),
        1);
    QCOMPARE(count(u"select count(*) from BoletoCedente"_s), 2);

    // The update finds its row by the key as it was read.
    set->Edit();
    m_dm->qrBoletoCedenteBCECODIGO->SetAsInteger(5);
    set->Post();
    QCOMPARE(count(u"select count(*) from BoletoCedente where BCECODIGO = 3"_s), 0);
    QCOMPARE(count(u"select count(*) from BoletoCedente where BCECODIGO = 5"_s), 1);
    set->Edit();
    m_dm->qrBoletoCedenteBCERAZAO->SetAsString(u"cinco"_s);
    set->Post();
    QCOMPARE(
        count(u"select count(*) from BoletoCedente where BCECODIGO = 5 and BCERAZAO = 'cinco'"_s),
        1);
}

void TestRecordSet::editOnAnEmptySetStartsANewRow()
{
    RecordSet* set = m_dm->qrBoletoCedente;
    set->Open();
    set->Edit();
    QCOMPARE(set->State(), dsInsert);
    m_dm->qrBoletoCedenteBCERAZAO->SetAsString(u"novo"_s);
    set->Post();
    QCOMPARE(m_dm->qrBoletoCedenteBCECODIGO->AsInteger(), 1);
    QCOMPARE(count(u"select count(*) from BoletoCedente"_s), 1);
}

void TestRecordSet::appendThenCancelLeavesNoTrace()
{
    sql(u"insert into BoletoCedente (BCECODIGO, BCERAZAO) values (1, 'um')"_s);
    RecordSet* set = m_dm->qrBoletoCedente;
    set->Open();
    set->Append();
    QCOMPARE(set->RecordCount(), 2);
    m_dm->qrBoletoCedenteBCERAZAO->SetAsString(u"descartado"_s);
    set->Cancel();
    QCOMPARE(set->State(), dsBrowse);
    QCOMPARE(set->RecordCount(), 1);
    QCOMPARE(set->RecNo(), 0);
    QCOMPARE(m_dm->qrBoletoCedenteBCERAZAO->AsString(), u"um"_s);
    QCOMPARE(count(u"select count(*) from BoletoCedente"_s), 1);
    set->Close();
    set->Open();
    QCOMPARE(set->RecordCount(), 1);
}

void TestRecordSet::failedPostKeepsStateAndValuesAndRetriesWithAFreshKey()
{
    sql(u"alter table BoletoCedente add constraint CK_TESTE check (BCERAZAO <> 'recusado')"_s);
    RecordSet* set = m_dm->qrBoletoCedente;
    set->Open();
    set->Append();
    m_dm->qrBoletoCedenteBCERAZAO->SetAsString(u"recusado"_s);
    m_dm->qrBoletoCedenteBCECNPJ->SetAsString(u"12345678000195"_s);
    try {
        set->Post();
        QFAIL("the post was accepted");
    } catch (const DatabaseError& e) {
        QVERIFY2(e.message().contains(u"CK_TESTE"_s), qPrintable(e.message()));
    }
    QCOMPARE(set->State(), dsInsert);
    QCOMPARE(m_dm->qrBoletoCedenteBCERAZAO->AsString(), u"recusado"_s);
    QCOMPARE(m_dm->qrBoletoCedenteBCECNPJ->AsString(), u"12345678000195"_s);
    QCOMPARE(m_dm->qrBoletoCedenteBCECODIGO->AsInteger(), 1); // allocated, kept

    // Meanwhile another workstation takes key 1.
    sql(u"insert into BoletoCedente (BCECODIGO, BCERAZAO) values (1, 'outra estação')"_s);
    m_dm->qrBoletoCedenteBCERAZAO->SetAsString(u"aceito"_s);
    set->Post();
    QCOMPARE(set->State(), dsBrowse);
    QCOMPARE(m_dm->qrBoletoCedenteBCECODIGO->AsInteger(), 2);
    QCOMPARE(
        count(
            u"select count(*) from BoletoCedente where BCECODIGO = 2 and BCECNPJ = '12345678000195'"_s),
        1);

    // A failed update keeps the edit too.
    set->Edit();
    m_dm->qrBoletoCedenteBCERAZAO->SetAsString(u"recusado"_s);
    QVERIFY_THROWS_EXCEPTION(DatabaseError, set->Post());
    QCOMPARE(set->State(), dsEdit);
    QCOMPARE(m_dm->qrBoletoCedenteBCERAZAO->AsString(), u"recusado"_s);
    set->Cancel();
    sql(u"alter table BoletoCedente drop constraint CK_TESTE"_s);
}

void TestRecordSet::requiredColumnWithoutValueIsRefused()
{
    RecordSet* set = m_dm->qrBoletoCedente;
    set->BeforePost = nullptr; // no key allocation
    set->Open();
    set->Append();
    m_dm->qrBoletoCedenteBCERAZAO->SetAsString(u"sem código"_s);
    try {
        set->Post();
        QFAIL("the post was accepted");
    } catch (const Failure& e) {
        QVERIFY2(e.message().contains(u"BCECODIGO"_s), qPrintable(e.message()));
    }
    QCOMPARE(set->State(), dsInsert);
    QCOMPARE(count(u"select count(*) from BoletoCedente"_s), 0);
}

void TestRecordSet::deleteMovesToTheFollowingRow()
{
    for (int i = 1; i <= 3; ++i)
        sql(QStringLiteral("insert into BoletoConta (BCOCODIGO, BCOCONTANUMERO) values (%1, 'c%1')")
                .arg(i));
    RecordSet* set = m_dm->qrBoletoConta;
    set->Open();
    set->SetRecNo(1);
    set->Delete();
    QCOMPARE(set->RecordCount(), 2);
    QCOMPARE(m_dm->qrBoletoContaBCOCODIGO->AsInteger(), 3); // the following row
    set->Delete();
    QCOMPARE(m_dm->qrBoletoContaBCOCODIGO->AsInteger(), 1); // the last went: the preceding
    QCOMPARE(count(u"select count(*) from BoletoConta"_s), 1);
    QCOMPARE(count(u"select max(BCOCODIGO) from BoletoConta"_s), 1);
}

void TestRecordSet::longTextsAreCutToTheColumnSize()
{
    RecordSet* set = m_dm->qrBoletoCedente;
    set->Open();
    set->Append();
    m_dm->qrBoletoCedenteBCETELEFONE->SetAsString(u"(11) 3456-7890 r.22"_s);
    m_dm->qrBoletoCedenteBCECNPJ->SetAsString(u"12.345.678/0001-95"_s);
    m_dm->qrBoletoCedenteBCECEP->SetAsString(u"01010-000"_s);
    // Characters count as the database counts them: an emoji is one.
    m_dm->qrBoletoCedenteBCENUMERO->SetAsString(u"ç😀3456789😀XYZ"_s);
    m_dm->qrBoletoCedenteBCEDATACRIADO->SetAsString(u"2026-12-11T13:14:15.123456-03:00"_s);
    QCOMPARE(m_dm->qrBoletoCedenteBCETELEFONE->AsString(), u"(11) 3456-7"_s);
    set->Post();
    set->Close();
    set->Open();
    QCOMPARE(m_dm->qrBoletoCedenteBCETELEFONE->AsString(), u"(11) 3456-7"_s);
    QCOMPARE(m_dm->qrBoletoCedenteBCECNPJ->AsString(), u"12.345.678/000"_s);
    QCOMPARE(m_dm->qrBoletoCedenteBCECEP->AsString(), u"01010-00"_s);
    QCOMPARE(m_dm->qrBoletoCedenteBCENUMERO->AsString(), u"ç😀3456789😀"_s);
    QCOMPARE(m_dm->qrBoletoCedenteBCEDATACRIADO->AsString(), u"2026-12-11T13:14:15."_s);
}

void TestRecordSet::emptyTextIsStoredAsEmptyNotNull()
{
    RecordSet* set = m_dm->qrBoletoCedente;
    set->Open();
    set->Append();
    m_dm->qrBoletoCedenteBCEFANTASIA->SetAsString(QString());
    set->Post();
    QCOMPARE(count(u"select count(*) from BoletoCedente where BCEFANTASIA = ''"_s), 1);
    QCOMPARE(count(u"select count(*) from BoletoCedente where BCERAZAO is null"_s), 1);
    set->Close();
    set->Open();
    QVERIFY(!m_dm->qrBoletoCedenteBCEFANTASIA->IsNull());
    QVERIFY(m_dm->qrBoletoCedenteBCERAZAO->IsNull());
    QCOMPARE(m_dm->qrBoletoCedenteBCERAZAO->AsString(), QString());
    QCOMPARE(m_dm->qrBoletoCedenteBCERAZAO->AsInteger(), 0);
}

void TestRecordSet::unicodeAndQuotesRoundTrip()
{
    const QString samples[] = {
        u"Açúcar & Cia. — São João"_s,
        u"D'Ávila'; DROP TABLE BoletoCedente; --"_s,
        u"\"aspas\" \\barra\\ :param ?"_s,
        u"linha\r\nnova\ttab"_s,
        u"😀 emoji ☃ 中文"_s,
    };
    RecordSet* set = m_dm->qrBoletoCedente;
    set->Open();
    for (const QString& sample : samples) {
        set->Append();
        for (int i = 1; i < set->FieldCount(); ++i)
            set->Fields(i).SetAsString(sample);
        set->Post();
    }
    set->Close();
    set->Open();
    QCOMPARE(set->RecordCount(), int(std::size(samples)));
    for (const QString& sample : samples) {
        for (int i = 1; i < set->FieldCount(); ++i) {
            const Field& f = set->Fields(i);
            QString expected = sample;
            // Cut at the size in characters (code points), like the field does.
            const auto points = sample.toUcs4();
            if (points.size() > f.Size())
                expected = QString::fromUcs4(reinterpret_cast<const char32_t*>(points.constData()),
                                             f.Size());
            QCOMPARE(f.AsString(), expected);
        }
        set->Next();
    }
    QCOMPARE(
        count(u"select count(*) from rdb$relations where rdb$relation_name = 'BOLETOCEDENTE'"_s),
        1);
}

void TestRecordSet::agreementDatesAreStored()
{
    RecordSet* set = m_dm->qrBoletoConvenio;
    set->ParamByName(u"xContaID"_s).SetAsString(u"CONTA-1"_s);
    set->Open();
    set->Append();
    m_dm->qrBoletoConvenioBCOCONTAID->SetAsString(u"CONTA-1"_s);
    m_dm->qrBoletoConvenioBCVCONVENIONUMERO->SetAsString(u"123456"_s);
    set->Post();
    QCOMPARE(m_dm->qrBoletoConvenioBCVCONVENIODATACRIADO->AsString(), QString());
    set->Edit();
    m_dm->qrBoletoConvenioBCVCONVENIODATACRIADO->SetAsString(u"2026-12-11 10:00:00"_s);
    m_dm->qrBoletoConvenioBCVCONVENIODATAATUALIZADO->SetAsString(u"2026-12-11 10:05:00"_s);
    set->Post();
    set->Close();
    set->Open();
    QCOMPARE(set->RecordCount(), 1);
    QCOMPARE(m_dm->qrBoletoConvenioBCVCONVENIODATACRIADO->AsString(), u"2026-12-11 10:00:00"_s);
    QCOMPARE(m_dm->qrBoletoConvenioBCVCONVENIODATAATUALIZADO->AsString(), u"2026-12-11 10:05:00"_s);
}

void TestRecordSet::parametersSelectRows()
{
    sql(u"insert into usuarios (CODIGO, NOME, SENHA) values ('1', 'Ana', 'a''b')"_s);
    sql(u"insert into usuarios (CODIGO, NOME, SENHA) values ('2', 'Bia', '')"_s);
    sql(u"insert into usuarios (CODIGO, NOME, SENHA) values ('3', 'Caio', 'dup')"_s);
    sql(u"insert into usuarios (CODIGO, NOME, SENHA) values ('4', 'Davi', 'dup')"_s);
    struct Case
    {
        QString password;
        int rows;
    } cases[] = {{u"a'b"_s, 1}, {u""_s, 1}, {u"dup"_s, 2}, {u"' or 1"_s, 0}, {u"A'B"_s, 0}};
    for (const Case& c : cases) {
        m_dm->qrUsuario->Close();
        m_dm->qrUsuario->ParamByName(u"xSenha"_s).SetAsString(c.password);
        m_dm->qrUsuario->Open();
        QCOMPARE(m_dm->qrUsuario->RecordCount(), c.rows);
    }
    // A text longer than the column it is compared with is refused by the
    // server itself; the set stays closed.
    m_dm->qrUsuario->Close();
    m_dm->qrUsuario->ParamByName(u"xSenha"_s).SetAsString(u"longer than six"_s);
    try {
        m_dm->qrUsuario->Open();
        QFAIL("the long text was accepted");
    } catch (const DatabaseError& e) {
        QVERIFY2(e.message().contains(u"truncation"_s), qPrintable(e.message()));
    }
    QCOMPARE(m_dm->qrUsuario->State(), dsInactive);

    m_dm->qrUsuario->ParamByName(u"xSenha"_s).SetAsString(QString());
    m_dm->qrUsuario->Open();
    QCOMPARE(m_dm->qrUsuarioNOME->AsString(), u"Bia"_s);
    sql(u"delete from usuarios"_s);
}

void TestRecordSet::updateOfARowDeletedElsewhereFails()
{
    sql(u"insert into BoletoCedente (BCECODIGO, BCERAZAO) values (1, 'um')"_s);
    RecordSet* set = m_dm->qrBoletoCedente;
    set->Open();
    sql(u"delete from BoletoCedente"_s);
    set->Edit();
    m_dm->qrBoletoCedenteBCERAZAO->SetAsString(u"alterado"_s);
    QVERIFY_THROWS_EXCEPTION(Failure, set->Post());
    QCOMPARE(set->State(), dsEdit);
    QCOMPARE(m_dm->qrBoletoCedenteBCERAZAO->AsString(), u"alterado"_s);
}

void TestRecordSet::secondWorkstationPostingTheSameKeyIsRefused()
{
    auto other = newModule();
    m_dm->qrBoletoCedente->Open();
    other->qrBoletoCedente->Open();
    other->qrBoletoCedente->Append();
    other->qrBoletoCedenteBCERAZAO->SetAsString(u"da outra estação"_s);

    // Both read the same largest key: the other workstation posts between
    // this one's key allocation and its insert.
    RecordSet* set = m_dm->qrBoletoCedente;
    set->BeforePost = [&](RecordSet& s) {
        m_dm->qrBoletoCedenteBeforePost(s);
        if (other->qrBoletoCedente->State() == dsInsert)
            other->qrBoletoCedente->Post();
    };
    set->Append();
    m_dm->qrBoletoCedenteBCERAZAO->SetAsString(u"desta estação"_s);
    try {
        set->Post();
        QFAIL("the duplicate key was accepted");
    } catch (const DatabaseError& e) {
        QVERIFY2(e.message().contains(u"PRIMARY"_s, Qt::CaseInsensitive), qPrintable(e.message()));
    }
    QCOMPARE(set->State(), dsInsert);
    QCOMPARE(m_dm->qrBoletoCedenteBCERAZAO->AsString(), u"desta estação"_s);
    set->Post(); // retried: a fresh key
    QCOMPARE(m_dm->qrBoletoCedenteBCECODIGO->AsInteger(), 2);
    QCOMPARE(other->qrBoletoCedenteBCECODIGO->AsInteger(), 1);
    QCOMPARE(count(u"select count(*) from BoletoCedente"_s), 2);
    QCOMPARE(count(u"select count(distinct BCERAZAO) from BoletoCedente"_s), 2);
}

void TestRecordSet::noTransactionStaysOpenAfterARead()
{
    sql(u"insert into BoletoCedente (BCECODIGO, BCERAZAO) values (1, 'um')"_s);
    m_dm->qrBoletoCedente->Open();
    m_dm->qrEmpresa->Open();
    // Only the counting statement's own transaction is open on this
    // connection while the two sets stay open.
    m_dm->qrAux->Close();
    m_dm->qrAux->SetSQL(
        u"select count(*) from mon$transactions where mon$attachment_id = current_connection"_s);
    m_dm->qrAux->Open();
    QCOMPARE(m_dm->qrAux->Fields(0).AsInteger(), 1);
    QCOMPARE(m_dm->qrBoletoCedente->State(), dsBrowse);
}

void TestRecordSet::companyDeleteMatchesRowsWithoutCode()
{
    sql(u"insert into Empresa (CODIGO, NOME) values (null, 'sem código')"_s);
    sql(u"insert into Empresa (CODIGO, NOME) values (7, 'sete')"_s);
    RecordSet* set = m_dm->qrEmpresa;
    set->Open();
    QCOMPARE(set->RecordCount(), 2);
    set->First();
    QVERIFY(m_dm->qrEmpresaCODIGO->IsNull());
    set->Delete();
    QCOMPARE(count(u"select count(*) from Empresa"_s), 1);
    QCOMPARE(m_dm->qrEmpresaCODIGO->AsInteger(), 7);
    set->Delete();
    QCOMPARE(count(u"select count(*) from Empresa"_s), 0);
}

QTEST_GUILESS_MAIN(TestRecordSet)
#include "tst_recordset.moc"
