#pragma once

#include <functional>

// Ending the application the way its windows ask for it: the current
// handler and any modal window finish first, then the event loop ends.
// Closing the main window after that asks no question.
namespace Application {

void Terminate();
bool Terminated();

// What Terminate does once the modal windows are closed; by default it
// asks the event loop to end. Tests record it instead.
void setQuitHook(std::function<void()> hook);
// Forgets an earlier Terminate (tests run many windows in one process).
void reset();

} // namespace Application
