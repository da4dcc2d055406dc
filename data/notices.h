#pragma once

#include <QString>

// How code below the windows tells the user something: the application
// shows it in its notice box, tests record it.
class UserNotices
{
public:
    virtual ~UserNotices() = default;
    // A modal notice titled "Atenção" with the warning icon.
    virtual void notice(const QString& text) = 0;
};
