#pragma once

#include <functional>

// While a statement or a platform request runs, the windows show the busy
// cursor. Code below the windows marks the span with a BusyScope; the
// application installs the hook that changes the cursor.
void setBusyHook(std::function<void(bool)> hook);

class BusyScope
{
public:
    BusyScope();
    ~BusyScope();
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
};
