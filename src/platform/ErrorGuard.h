#pragma once
// Every event handler of every window runs through runGuarded(). A failure stops the handler
// at the failing step (the steps before keep their effect) and is reported once, in a message
// box titled "Tolvane" with its number and message (or, told in plain words, its message
// alone: Error.h); the program goes on.
//
// Handlers nest: setting the search box's text runs its change handler inside the handler
// that set it. Only the outermost guard reports; inner guards let the failure pass so that
// the outer handler stops too.

#include <QString>
#include <functional>

namespace tolvane::platform {

void runGuarded(const std::function<void()>& handler);

// The text shown for a failure, e.g. "Run-time error '3024':\n\nCould not find file ...".
QString describeError(int number, const QString& message);

// Whether a guarded handler is running at the moment (on the user-interface thread).
bool insideHandler();

} // namespace tolvane::platform
