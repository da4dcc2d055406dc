#include "scripteddialogs.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace {
QString kindName(ScriptedDialogs::Kind k)
{
    switch (k) {
    case ScriptedDialogs::Kind::Notice:
        return QStringLiteral("notice");
    case ScriptedDialogs::Kind::Question:
        return QStringLiteral("question");
    case ScriptedDialogs::Kind::Error:
        return QStringLiteral("error");
    }
    return {};
}
} // namespace

ScriptedDialogs::ScriptedDialogs()
{
    setDialogs(this);
}

ScriptedDialogs::~ScriptedDialogs()
{
    // Another double may have taken over already (a failed cleanup leaves
    // the old one alive until the next test replaces it).
    if (&dialogs() == this)
        setDialogs(nullptr);
}

void ScriptedDialogs::expectNotice(const QString& text)
{
    m_expected.append({Kind::Notice, QStringLiteral("Atenção"), text, true});
}

void ScriptedDialogs::expectQuestion(const QString& title, const QString& text, bool answer)
{
    m_expected.append({Kind::Question, title, text, answer});
}

void ScriptedDialogs::expectError(const QString& fragment)
{
    m_expected.append({Kind::Error, QString(), fragment, true});
}

void ScriptedDialogs::take(Kind kind, const QString& title, const QString& text, bool* answer)
{
    shown.append({kind, title, text});
    const QString what = QStringLiteral("%1 \"%2\" %3").arg(kindName(kind), title, text);
    if (m_expected.isEmpty()) {
        m_problems << QStringLiteral("unexpected ") + what;
        return;
    }
    const Expectation e = m_expected.takeFirst();
    const bool matches =
        e.kind == kind &&
        (kind == Kind::Error ? text.contains(e.text) : (text == e.text && title == e.title));
    if (!matches)
        m_problems << QStringLiteral("expected %1 \"%2\" %3, got %4")
                          .arg(kindName(e.kind), e.title, e.text, what);
    if (answer)
        *answer = e.answer;
}

void ScriptedDialogs::notice(const QString& text)
{
    take(Kind::Notice, QStringLiteral("Atenção"), text, nullptr);
}

bool ScriptedDialogs::question(const QString& title, const QString& text)
{
    bool answer = false;
    take(Kind::Question, title, text, &answer);
    return answer;
}

void ScriptedDialogs::error(const QString& text)
{
    take(Kind::Error, QString(), text, nullptr);
}

QStringList ScriptedDialogs::problems() const
{
    QStringList all = m_problems;
    for (const Expectation& e : m_expected)
        all << QStringLiteral("never shown: %1 \"%2\" %3").arg(kindName(e.kind), e.title, e.text);
    return all;
}

void ScriptedDialogs::clear()
{
    shown.clear();
    m_expected.clear();
    m_problems.clear();
}

void onModal(std::function<void(QWidget*)> action)
{
    auto poll = std::make_shared<std::function<void(int)>>();
    *poll = [action = std::move(action), poll](int triesLeft) {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            QPointer<QWidget> guard(modal);
            action(modal);
            // A failed check inside the action returns early: close the
            // window so the test fails instead of hanging.
            if (guard && guard->isVisible() && QApplication::activeModalWidget() == guard) {
                qWarning("onModal: the modal window was left open; closing it");
                guard->close();
            }
            *poll = nullptr; // breaks the cycle
            return;
        }
        if (triesLeft == 0) {
            qWarning("onModal: no modal window appeared");
            *poll = nullptr;
            return;
        }
        QTimer::singleShot(10, [poll, triesLeft] {
            if (*poll)
                (*poll)(triesLeft - 1);
        });
    };
    QTimer::singleShot(0, [poll] { (*poll)(200); });
}
