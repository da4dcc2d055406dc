#pragma once

#include "notices.h"

#include <QString>

class QWidget;

// The one way windows show message boxes, so tests can answer them and
// read what they said.
class Dialogs : public UserNotices
{
public:
    // The notice box: "Atenção", warning icon, OK.
    void notice(const QString& text) override = 0;
    // The question box: its own title, question icon, Yes and No. True for Yes.
    virtual bool question(const QString& title, const QString& text) = 0;
    // The event loop's display of an error that ended a handler.
    virtual void error(const QString& text) = 0;
};

// Real message boxes on the screen.
class WidgetDialogs : public Dialogs
{
public:
    void notice(const QString& text) override;
    bool question(const QString& title, const QString& text) override;
    void error(const QString& text) override;
};

// The dialog service in use; tests install their own.
Dialogs& dialogs();
void setDialogs(Dialogs* service);

// "\r" in a message is a line break.
QString messageText(const QString& text);
