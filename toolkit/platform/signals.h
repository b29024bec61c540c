#pragma once

namespace toolkit {

// Where the system ends programs with signals (SIGTERM from a session that ends or from kill,
// SIGINT, SIGHUP), they close the window as its close button does; a second one ends the process
// at once. Windows asks a program to end with messages that Qt's own platform takes.
void closeWindowsOnSignals();

} // namespace toolkit
