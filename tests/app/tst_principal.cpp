// The main window: the show sequence with the login, the status bar, the
// list windows' single instances and the exit question.
#include "application.h"
#include "scripteddialogs.h"
#include "testserver.h"
#include "untDM.h"
#include "untLogin.h"
#include "untPrincipal.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace Qt::StringLiterals;

namespace {
const QString exitTitle = u"Sair do sistema"_s;
const QString exitText = u"Deseja realmente sair do sistema?"_s;
} // namespace

class TestPrincipal : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void showSequence_data();
    void showSequence();
    void dateNames_data();
    void dateNames();
    void dateThatCannotBeNamed();
    void failedLoginEndsWithoutTheExitQuestion();
    void listWindowsExistOnce();
    void exitQuestion_data();
    void exitQuestion();
    void emissionButtonOnlyShowsItsNotice();

private:
    void showLoggedIn();
    TestServer m_server;
    QString m_path;
    std::unique_ptr<Tdm> m_dm;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<TfrmPrincipal> m_frm;
};

void TestPrincipal::initTestCase()
{
    Application::setQuitHook([] {});
    if (!TestServer::available())
        return;
    m_server = TestServer::fromEnvironment();
    Connection admin;
    m_path = m_server.createDatabase(admin, u"principal"_s);
    admin.execute(u"insert into usuarios (CODIGO, NOME, SENHA) values ('1', 'Ana Lúcia', '1234')"_s,
                  {});
    // The account list closes itself when there is no beneficiary, the
    // agreement list when there is no account.
    admin.execute(u"insert into BoletoCedente (BCECODIGO, BCERAZAO) values (1, 'Cedente')"_s, {});
    admin.execute(u"insert into BoletoConta (BCOCODIGO) values (1)"_s, {});
}

void TestPrincipal::init()
{
    REQUIRE_TEST_SERVER();
    Application::reset();
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_dm = std::make_unique<Tdm>(m_dialogs.get());
    m_server.useDatabase(*m_dm, m_path);
    m_dm->FormatoDiaMesAno =
        FormatSettings::fromLocale(QLocale(QLocale::Portuguese, QLocale::Brazil));
    m_dm->FormatoDiaMesAno.shortDateFormat = u"dd/mm/yyyy"_s;
    m_frm = std::make_unique<TfrmPrincipal>();
    m_frm->today = [] { return QDate(2025, 12, 10); };
}

void TestPrincipal::cleanup()
{
    if (m_dialogs)
        VERIFY_DIALOGS(*m_dialogs);
    m_frm.reset();
    m_dm.reset();
    m_dialogs.reset();
}

void TestPrincipal::showLoggedIn()
{
    onModal([](QWidget* modal) {
        auto* login = qobject_cast<TfrmLogin*>(modal);
        QVERIFY(login);
        QTest::keyClicks(login->edtSenha, u"1234"_s);
        login->btnEntrar->click();
    });
    m_frm->show();
    QTRY_VERIFY(!m_frm->StatusBarPanels[1]->text().isEmpty());
    QVERIFY(acesso);
}

void TestPrincipal::showSequence_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("expected");
    QTest::newRow("slash") << QLocale(QLocale::Portuguese, QLocale::Brazil) << QDate(2025, 12, 10)
                           << u"Quarta-Feira, 10 de Dezembro de 2025"_s;
    QTest::newRow("hyphen") << QLocale(QLocale::Dutch, QLocale::Netherlands) << QDate(2026, 3, 7)
                            << u"Sábado, 07 de Março de 2026"_s;
    QTest::newRow("full stop") << QLocale(QLocale::German, QLocale::Germany) << QDate(2027, 1, 3)
                               << u"Domingo, 03 de Janeiro de 2027"_s;
}

void TestPrincipal::showSequence()
{
    QFETCH(QLocale, locale);
    QFETCH(QDate, today);
    m_dm->FormatoDiaMesAno = FormatSettings::fromLocale(locale);
    m_dm->FormatoDiaMesAno.shortDateFormat = u"dd/mm/yyyy"_s;
    m_frm->today = [today] { return today; };
    QCOMPARE(m_frm->windowTitle(), u"Trevalo - "_s);
    showLoggedIn();
    QCOMPARE(m_frm->windowTitle(), u"Trevalo -  versão: 1.0.033"_s);
    QTEST(m_frm->StatusBarPanels[1]->text(), "expected");
    QCOMPARE(m_frm->StatusBarPanels[2]->text(), u"Usuário: Ana Lúcia"_s);
    QCOMPARE(m_frm->StatusBarPanels[0]->text(), QString());
    QCOMPARE(m_frm->StatusBarPanels[3]->text(), QString());
    QCOMPARE(applicationFormatSettings().shortDateFormat, u"dd/mm/yyyy"_s);
    QCOMPARE(applicationFormatSettings().dateSeparator, m_dm->FormatoDiaMesAno.dateSeparator);
    QVERIFY(!Application::Terminated());
}

void TestPrincipal::dateNames_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("weekday");
    QTest::addColumn<QString>("month");
    // Every month of a year, and every weekday among them.
    const QString months[] = {u"Janeiro"_s,  u"Fevereiro"_s, u"Março"_s,    u"Abril"_s,
                              u"Maio"_s,     u"Junho"_s,     u"Julho"_s,    u"Agosto"_s,
                              u"Setembro"_s, u"Outubro"_s,   u"Novembro"_s, u"Dezembro"_s};
    const QString weekdays[] = {u"Segunda-Feira"_s, u"Terça-Feira"_s, u"Quarta-Feira"_s,
                                u"Quinta-Feira"_s,  u"Sexta-Feira"_s, u"Sábado"_s,
                                u"Domingo"_s};
    for (int m = 1; m <= 12; ++m) {
        const QDate d(2026, m, 1 + m); // 2 Jan 2026 is a Friday
        QTest::addRow("%s", qPrintable(d.toString(Qt::ISODate)))
            << d << weekdays[d.dayOfWeek() - 1] << months[m - 1];
    }
}

void TestPrincipal::dateNames()
{
    QFETCH(QDate, date);
    applicationFormatSettings() = m_dm->FormatoDiaMesAno;
    QTEST(m_dm->DiadaSemana(date), "weekday");
    QTEST(m_dm->MesExtenso(date), "month");
    QFETCH(QString, weekday);
    QFETCH(QString, month);
    m_frm->today = [date] { return date; };
    QCOMPARE(m_frm->dateText(), QStringLiteral("%1, %2 de %3 de 2026")
                                    .arg(weekday)
                                    .arg(date.day(), 2, 10, QLatin1Char('0'))
                                    .arg(month));
}

void TestPrincipal::dateThatCannotBeNamed()
{
    m_dialogs->expectNotice(u"Data Inválida..."_s);
    QCOMPARE(m_dm->DiadaSemana(QDate()), QString());
    // Before "dd/mm/yyyy" is installed, characters 4 and 5 may not be the month.
    applicationFormatSettings().shortDateFormat = u"d/m/yy"_s;
    m_dialogs->expectNotice(u"Data Inválida..."_s);
    QCOMPARE(m_dm->MesExtenso(QDate(2026, 1, 5)), QString());
    applicationFormatSettings().shortDateFormat = u"dd/mm/yyyy"_s;
}

void TestPrincipal::failedLoginEndsWithoutTheExitQuestion()
{
    onModal([](QWidget* modal) {
        auto* login = qobject_cast<TfrmLogin*>(modal);
        QVERIFY(login);
        login->btnCancelar->click();
    });
    m_frm->show();
    QTRY_VERIFY(Application::Terminated());
    // The rest of the show sequence still ran.
    QTRY_COMPARE(m_frm->StatusBarPanels[1]->text(), u"Quarta-Feira, 10 de Dezembro de 2025"_s);
    QCOMPARE(m_frm->StatusBarPanels[2]->text(), u"Usuário: "_s);
    m_frm->close(); // no question expected
    QVERIFY(!m_frm->isVisible());
}

void TestPrincipal::listWindowsExistOnce()
{
    showLoggedIn();
    m_frm->menCadCedente->trigger();
    QPointer<QWidget> first = m_frm->frmCedente;
    QVERIFY(first);
    QCOMPARE(first->objectName(), u"frmCedente"_s);
    m_frm->menCadConta->trigger();
    m_frm->menCadCedente->trigger(); // brought forward, not created
    QCOMPARE(m_frm->frmCedente, first);
    QCOMPARE(m_frm->mdiArea->subWindowList().size(), 2);
    QCOMPARE(m_frm->mdiArea->activeSubWindow()->widget(), first.data());

    m_frm->mdiArea->activeSubWindow()->close();
    QTRY_VERIFY(!first);
    m_frm->menCadCedente->trigger();
    QVERIFY(m_frm->frmCedente);
    m_frm->menCadConvenio->trigger();
    QCOMPARE(m_frm->mdiArea->subWindowList().size(), 3);
    QCOMPARE(m_frm->frmConvenio->objectName(), u"frmConvenio"_s);
    // Each one wholly inside the workspace, the newest not hiding the others.
    const QRect area = m_frm->mdiArea->viewport()->rect();
    QSet<QPoint> corners;
    for (QMdiSubWindow* sub : m_frm->mdiArea->subWindowList()) {
        QVERIFY2(area.contains(sub->geometry()), qPrintable(sub->widget()->objectName()));
        corners.insert(sub->pos());
    }
    QCOMPARE(corners.size(), 3);
}

void TestPrincipal::exitQuestion_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("answer");
    for (const char* how : {"Sair", "close box", "system close"}) {
        QTest::addRow("%s, No", how) << QString::fromLatin1(how) << false;
        QTest::addRow("%s, Yes", how) << QString::fromLatin1(how) << true;
    }
}

void TestPrincipal::exitQuestion()
{
    QFETCH(QString, how);
    QFETCH(bool, answer);
    showLoggedIn();
    m_frm->menCadConta->trigger();
    m_dialogs->expectQuestion(exitTitle, exitText, answer);
    if (how == u"Sair") {
        m_frm->Sair1->trigger();
    } else if (how == u"close box") {
        m_frm->close();
    } else {
        QCloseEvent event; // what the window system sends
        QApplication::sendEvent(m_frm.get(), &event);
        if (event.isAccepted())
            m_frm->hide();
    }
    QCOMPARE(m_frm->isVisible(), !answer);
    QCOMPARE(Application::Terminated(), answer);
    if (!answer) {
        QVERIFY(m_frm->frmConta); // the child windows stay as they were
        QCOMPARE(m_frm->mdiArea->subWindowList().size(), 1);
    }
}

void TestPrincipal::emissionButtonOnlyShowsItsNotice()
{
    showLoggedIn();
    QCOMPARE(m_frm->btnEmissaoBoleto->text(), u"&Emissão de Boletos"_s);
    m_dialogs->expectNotice(u"Cadastre pelo menos um convênio para Emissão de Boletos."_s);
    m_frm->btnEmissaoBoleto->click();
    QCOMPARE(m_frm->mdiArea->subWindowList().size(), 0);
}

QTEST_MAIN(TestPrincipal)
#include "tst_principal.moc"
