// The data-bound grid and edits over real record sets.
#include "dbedit.h"
#include "dbgrid.h"
#include "scripteddialogs.h"
#include "testserver.h"
#include "untDM.h"

#include <QAccessible>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {
// One key event per character, as a keyboard delivers them (emoji too).
void typeCharacters(QWidget* w, const QString& text)
{
    for (char32_t c : text.toUcs4()) {
        const QString s = QString::fromUcs4(&c, 1);
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, s);
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, s);
        QApplication::sendEvent(w, &release);
    }
}
} // namespace

class TestDbControls : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void gridShowsChosenColumnsWithLabels();
    void gridFollowsTheRecordSet();
    void selectingARowMovesTheRecordSet();
    void ctrlDeleteAsksFirst_data();
    void ctrlDeleteAsksFirst();
    void cellClickNamesTheField();
    void editShowsAndWritesTheCurrentRow();
    void editTakesNoMoreThanTheColumn_data();
    void editTakesNoMoreThanTheColumn();
    void readOnlyEditAndLabels();

private:
    void insertCedentes(int count);
    TestServer m_server;
    QString m_path;
    Connection m_admin;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<Tdm> m_dm;
};

void TestDbControls::initTestCase()
{
    if (!TestServer::available())
        return;
    m_server = TestServer::fromEnvironment();
    m_path = m_server.createDatabase(m_admin, u"controls"_s);
}

void TestDbControls::init()
{
    REQUIRE_TEST_SERVER();
    m_admin.execute(u"delete from BoletoCedente"_s, {});
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_dm = std::make_unique<Tdm>(m_dialogs.get());
    m_server.useDatabase(*m_dm, m_path);
}

void TestDbControls::cleanup()
{
    if (m_dialogs)
        VERIFY_DIALOGS(*m_dialogs);
    m_dm.reset();
    m_dialogs.reset();
}

void TestDbControls::insertCedentes(int count)
{
    for (int i = 1; i <= count; ++i)
        m_admin.execute(
            u"insert into BoletoCedente (BCECODIGO, BCERAZAO, BCECNPJ) values (?, ?, ?)"_s,
            {SqlValue::fromInteger(i), SqlValue::fromText(QStringLiteral("Cedente %1").arg(i)),
             SqlValue::fromText(QStringLiteral("%1").arg(i, 14, 10, QLatin1Char('0')))});
}

void TestDbControls::gridShowsChosenColumnsWithLabels()
{
    insertCedentes(2);
    DBGrid grid(m_dm->dsBoletoCedente,
                {u"BCERAZAO"_s, u"BCECODIGO"_s, u"BCEVENCIMENTOCERTIFICADO"_s});
    m_dm->qrBoletoCedente->Open();
    QAbstractItemModel* model = grid.model();
    QCOMPARE(model->columnCount(), 3);
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), u"Razão Social"_s);
    QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), u"Código"_s);
    QCOMPARE(model->headerData(2, Qt::Horizontal).toString(), u"Vencimento Certificado"_s);
    QCOMPARE(model->headerData(0, Qt::Horizontal, Qt::TextAlignmentRole).toInt(),
             int(Qt::AlignCenter));
    QCOMPARE(model->index(1, 0).data().toString(), u"Cedente 2"_s);
    QCOMPARE(model->index(1, 1).data().toString(), u"2"_s);
    QCOMPARE(model->index(0, 2).data().toString(), QString());
    QCOMPARE(grid.editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(grid.selectionBehavior(), QAbstractItemView::SelectRows);
    // The row indicator marks the current row only.
    QCOMPARE(model->headerData(0, Qt::Vertical).toString(), u"▶"_s);
    QCOMPARE(model->headerData(1, Qt::Vertical).toString(), QString());
}

void TestDbControls::gridFollowsTheRecordSet()
{
    insertCedentes(3);
    DBGrid grid(m_dm->dsBoletoCedente, {u"BCECODIGO"_s, u"BCERAZAO"_s});
    grid.show();
    RecordSet* set = m_dm->qrBoletoCedente;
    QCOMPARE(grid.model()->rowCount(), 0);
    set->Open();
    QCOMPARE(grid.model()->rowCount(), 3);
    QCOMPARE(grid.currentIndex().row(), 0);
    set->Last();
    QCOMPARE(grid.currentIndex().row(), 2);
    QCOMPARE(grid.selectionModel()->selectedRows().size(), 1);

    set->Append();
    QCOMPARE(grid.model()->rowCount(), 4);
    QCOMPARE(grid.currentIndex().row(), 3);
    QCOMPARE(grid.model()->headerData(3, Qt::Vertical).toString(), u"*"_s);
    m_dm->qrBoletoCedenteBCERAZAO->SetAsString(u"novo"_s);
    QCOMPARE(grid.model()->index(3, 1).data().toString(), u"novo"_s);
    set->Cancel();
    QCOMPARE(grid.model()->rowCount(), 3);
    QCOMPARE(grid.currentIndex().row(), 2);

    set->Close();
    QCOMPARE(grid.model()->rowCount(), 0);
}

void TestDbControls::selectingARowMovesTheRecordSet()
{
    insertCedentes(3);
    DBGrid grid(m_dm->dsBoletoCedente, {u"BCECODIGO"_s, u"BCERAZAO"_s});
    m_dm->qrBoletoCedente->Open();
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    const QRect cell = grid.visualRect(grid.model()->index(1, 1));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(m_dm->qrBoletoCedente->RecNo(), 1);
    QCOMPARE(m_dm->qrBoletoCedenteBCERAZAO->AsString(), u"Cedente 2"_s);
    QTest::keyClick(&grid, Qt::Key_Down);
    QCOMPARE(m_dm->qrBoletoCedenteBCECODIGO->AsInteger(), 3);

    // Moving away from a pending change saves it first.
    m_dm->qrBoletoCedente->Edit();
    m_dm->qrBoletoCedenteBCERAZAO->SetAsString(u"alterado"_s);
    QTest::keyClick(&grid, Qt::Key_Up);
    QCOMPARE(m_dm->qrBoletoCedente->State(), dsBrowse);
    int saved = 0;
    m_admin.query(u"select count(*) from BoletoCedente where BCERAZAO = 'alterado'"_s, {}, {},
                  [&](const RowView& r) { saved = int(r.integer(0)); });
    QCOMPARE(saved, 1);
}

void TestDbControls::ctrlDeleteAsksFirst_data()
{
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<int>("rowsLeft");
    QTest::newRow("Yes") << true << false << 1;
    QTest::newRow("No") << false << false << 2;
    QTest::newRow("read-only grid") << true << true << 2;
}

void TestDbControls::ctrlDeleteAsksFirst()
{
    QFETCH(bool, answer);
    QFETCH(bool, readOnly);
    QFETCH(int, rowsLeft);
    insertCedentes(2);
    DBGrid grid(m_dm->dsBoletoCedente, {u"BCECODIGO"_s});
    grid.setReadOnly(readOnly);
    m_dm->qrBoletoCedente->Open();
    grid.show();
    if (!readOnly)
        m_dialogs->expectQuestion(u"Confirm"_s, u"Delete record?"_s, answer);
    QTest::keyClick(&grid, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(m_dm->qrBoletoCedente->RecordCount(), rowsLeft);
    QCOMPARE(grid.model()->rowCount(), rowsLeft);
    int inTable = 0;
    m_admin.query(u"select count(*) from BoletoCedente"_s, {}, {},
                  [&](const RowView& r) { inTable = int(r.integer(0)); });
    QCOMPARE(inTable, rowsLeft);
    if (rowsLeft == 1)
        QCOMPARE(m_dm->qrBoletoCedenteBCECODIGO->AsInteger(), 2); // the following row

    // With no rows nothing is asked.
    m_admin.execute(u"delete from BoletoCedente"_s, {});
    m_dm->qrBoletoCedente->Close();
    m_dm->qrBoletoCedente->Open();
    QTest::keyClick(&grid, Qt::Key_Delete, Qt::ControlModifier);
}

void TestDbControls::cellClickNamesTheField()
{
    insertCedentes(1);
    DBGrid grid(m_dm->dsBoletoCedente, {u"BCECODIGO"_s, u"BCERAZAO"_s});
    m_dm->qrBoletoCedente->Open();
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QList<Field*> clicks;
    connect(&grid, &DBGrid::cellClicked, this, [&](Field* f) { clicks << f; });
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {},
                      grid.visualRect(grid.model()->index(0, 1)).center());
    QCOMPARE(clicks, QList<Field*>{m_dm->qrBoletoCedenteBCERAZAO});
}

void TestDbControls::editTakesNoMoreThanTheColumn_data()
{
    // BCECNPJ holds 14 characters, as the database counts them.
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    const QString emoji = u"😀"_s;
    QTest::newRow("past the size") << QString(20, u'1') << QString(14, u'1');
    QTest::newRow("emoji as the last character")
        << QString(13, u'1') + emoji + emoji << QString(13, u'1') + emoji;
    QTest::newRow("emoji only") << emoji.repeated(15) << emoji.repeated(14);
    QTest::newRow("accents count once") << u"çãé"_s.repeated(5) << u"çãé"_s.repeated(5).left(14);
}

void TestDbControls::editTakesNoMoreThanTheColumn()
{
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    insertCedentes(1);
    DBEdit edit(m_dm->dsBoletoCedente, u"BCECNPJ"_s);
    m_dm->qrBoletoCedente->Open();
    edit.show();
    edit.setFocus();
    edit.selectAll();
    typeCharacters(&edit, typed);
    // Never half of an emoji: the edit shows what the field holds.
    QCOMPARE(m_dm->qrBoletoCedenteBCECNPJ->AsString(), kept);
    QCOMPARE(edit.text(), kept);
    m_dm->qrBoletoCedente->Post();
    QCOMPARE(m_dm->qrBoletoCedenteBCECNPJ->AsString(), kept);
}

void TestDbControls::editShowsAndWritesTheCurrentRow()
{
    insertCedentes(2);
    DBEdit edit(m_dm->dsBoletoCedente, u"BCECNPJ"_s);
    DBText code(m_dm->dsBoletoCedente, u"BCECODIGO"_s);
    RecordSet* set = m_dm->qrBoletoCedente;
    set->Open();
    QCOMPARE(edit.text(), u"00000000000001"_s);
    QCOMPARE(code.text(), u"1"_s);
    set->Next();
    QCOMPARE(edit.text(), u"00000000000002"_s);
    QCOMPARE(code.text(), u"2"_s);

    edit.show();
    edit.setFocus();
    edit.selectAll();
    QTest::keyClicks(&edit, u"12.345.678/0001-95"_s);
    QCOMPARE(set->State(), dsEdit);
    QCOMPARE(edit.text(), u"12.345.678/000"_s); // no more than the column holds
    QCOMPARE(m_dm->qrBoletoCedenteBCECNPJ->AsString(), u"12.345.678/000"_s);
    set->Cancel();
    QCOMPARE(edit.text(), u"00000000000002"_s);

    // A value set by code shows at once.
    set->Edit();
    m_dm->qrBoletoCedenteBCECNPJ->SetAsString(u"99"_s);
    QCOMPARE(edit.text(), u"99"_s);
    set->Close();
    QCOMPARE(edit.text(), QString());
}

void TestDbControls::readOnlyEditAndLabels()
{
    QWidget window;
    auto* label = new QLabel(u"ID Cedente"_s, &window);
    auto* edit = new DBEdit(m_dm->dsBoletoCedente, u"BCEIDCEDENTE"_s, &window);
    edit->setReadOnly(true);
    label->setBuddy(edit);
    QCOMPARE(edit->palette().color(QPalette::Text), QColor(Qt::white));
    QVERIFY(edit->palette().color(QPalette::Base) != QColor(Qt::white));
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(edit);
    QVERIFY(accessible);
    QCOMPARE(accessible->text(QAccessible::Name), u"ID Cedente"_s);

    m_dm->qrBoletoCedente->Open();
    window.show();
    edit->setFocus();
    QTest::keyClicks(edit, u"x"_s);
    QCOMPARE(m_dm->qrBoletoCedente->State(), dsBrowse);
}

QTEST_MAIN(TestDbControls)
#include "tst_dbcontrols.moc"
