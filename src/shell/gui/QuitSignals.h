#pragma once

#include <functional>

class QObject;

// SIGTERM, SIGINT and SIGHUP end Kestrum in order whatever is open. They are caught from the
// first moment of the process, kept in a socket pair until the event loop runs, and handed to
// it there: a signal handler itself may do next to nothing.
namespace QuitSignals {

// Installs the handlers. Called first thing in main(); false, with a warning, when they cannot be.
bool catchSignals();
// From now on, and for a signal caught before, runs `quit` on the event loop of `context`.
void deliverTo(QObject *context, std::function<void()> quit);

} // namespace QuitSignals
