#pragma once

#include "dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Takes the place of the message boxes while it lives: records every box,
// answers questions from a queue of expectations, and counts any box that
// was not expected (or not as expected) as a problem.
class ScriptedDialogs : public Dialogs
{
public:
    enum class Kind
    {
        Notice,
        Question,
        Error
    };
    struct Box
    {
        Kind kind;
        QString title;
        QString text;
    };

    ScriptedDialogs();
    ~ScriptedDialogs() override;

    void expectNotice(const QString& text);
    void expectQuestion(const QString& title, const QString& text, bool answer);
    // An error whose text contains the fragment.
    void expectError(const QString& fragment);

    void notice(const QString& text) override;
    bool question(const QString& title, const QString& text) override;
    void error(const QString& text) override;

    // What went wrong: boxes nobody expected, and expectations left over.
    QStringList problems() const;
    void clear();

    QList<Box> shown;

private:
    struct Expectation
    {
        Kind kind;
        QString title;
        QString text;
        bool answer;
    };
    void take(Kind kind, const QString& title, const QString& text, bool* answer);

    QList<Expectation> m_expected;
    QStringList m_problems;
};

// Fails the current test when the dialogs saw a problem.
#define VERIFY_DIALOGS(d)                                                                          \
    do {                                                                                           \
        const QStringList problems_ = (d).problems();                                              \
        QVERIFY2(problems_.isEmpty(), qPrintable(problems_.join(QLatin1Char('\n'))));              \
    } while (false)

// Runs `action` on the modal window as soon as one is shown (polling the
// event loop for up to two seconds). A window the action leaves open is
// closed, so a failing check cannot hang the test.
void onModal(std::function<void(QWidget*)> action);
