// The handler guard and the real message boxes of the dialog service.
#include "dialogs.h"
#include "errors.h"
#include "guard.h"
#include "scripteddialogs.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <stdexcept>

using namespace Qt::StringLiterals;

class TestGuard : public QObject
{
    Q_OBJECT
private slots:
    void handlersNeverLetAnExceptionOut();
    void aConnectedHandlerKeepsWorkingAfterAnError();
    void noticeBox();
    void questionBox_data();
    void questionBox();
};

void TestGuard::handlersNeverLetAnExceptionOut()
{
    ScriptedDialogs d;
    guarded([] { throw SilentAbort(); }); // no message at all
    d.expectError(u"Tabela não encontrada"_s);
    guarded([] { throw Failure(u"Tabela não encontrada"_s); });
    d.expectError(u"out of range"_s);
    guarded([] { throw std::out_of_range("out of range"); });
    d.expectError(u"inesperado"_s);
    guarded([] { throw 42; });
    bool ran = false;
    guarded([&] { ran = true; });
    QVERIFY(ran);
    VERIFY_DIALOGS(d);
}

void TestGuard::aConnectedHandlerKeepsWorkingAfterAnError()
{
    ScriptedDialogs d;
    QPushButton button;
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, &button, guard([&] {
        if (++clicks == 1)
            throw Failure(u"primeira falha"_s);
    }));
    d.expectError(u"primeira falha"_s);
    button.click();
    button.click();
    QCOMPARE(clicks, 2);
    VERIFY_DIALOGS(d);
}

void TestGuard::noticeBox()
{
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    onModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->standardButtons();
        box->button(QMessageBox::Ok)->click();
    });
    WidgetDialogs().notice(u"Senha Inválida...\r\rConsulte o Responsável pelo Sistema."_s);
    QCOMPARE(title, u"Atenção"_s);
    QCOMPARE(text, u"Senha Inválida...\n\nConsulte o Responsável pelo Sistema."_s);
    QCOMPARE(icon, QMessageBox::Warning);
    QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

void TestGuard::questionBox_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("answer");
    QTest::newRow("Yes") << int(QMessageBox::Yes) << true;
    QTest::newRow("No") << int(QMessageBox::No) << false;
}

void TestGuard::questionBox()
{
    QFETCH(int, button);
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    onModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box);
        title = box->windowTitle();
        icon = box->icon();
        buttons = box->standardButtons();
        box->button(QMessageBox::StandardButton(button))->click();
    });
    const bool answer =
        WidgetDialogs().question(u"Sair do sistema"_s, u"Deseja realmente sair do sistema?"_s);
    QTEST(answer, "answer");
    QCOMPARE(title, u"Sair do sistema"_s);
    QCOMPARE(icon, QMessageBox::Question);
    QCOMPARE(buttons, QMessageBox::Yes | QMessageBox::No);
}

QTEST_MAIN(TestGuard)
#include "tst_guard.moc"
