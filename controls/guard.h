#pragma once

#include <functional>
#include <utility>

// Runs an event handler so that no exception leaves it: the silent abort
// ends the handler quietly, any other error is shown with its message and
// the application goes on. Every handler of every window runs through it.
void guarded(const std::function<void()>& handler);

// Wraps a handler for QObject::connect:
//   connect(btnEntrar, &QPushButton::clicked, this, guard([this] { btnEntrarClick(); }));
template <typename Handler> auto guard(Handler handler)
{
    return [handler = std::move(handler)](auto&&...) { guarded(handler); };
}
