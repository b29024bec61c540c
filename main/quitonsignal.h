#pragma once

#include <csignal>
#include <initializer_list>

// Ends the event loop when the process receives one of `signalNumbers` (SIGTERM from a session
// ending or `kill`, SIGINT from Ctrl+C in a terminal, SIGHUP from a closed terminal): the window
// closes and the application object is taken down as after a close by the user, so that the
// clipboard is handed to a clipboard manager and the program leaves through its normal exit. A
// second signal while it closes ends the process at once. Call once, after the application object
// exists.
void quitOnSignals(std::initializer_list<int> signalNumbers);
