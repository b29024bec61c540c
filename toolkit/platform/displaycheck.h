#pragma once

namespace toolkit {

// Where no windowing platform can be started (no display, a dead X server, an unknown platform),
// Qt aborts inside the application object's constructor with advice to reinstall and a list of
// its plugins. Called right before that constructor, this makes the program say instead, in one
// English and one Japanese line on standard error, that it needs a display, what it tried and how
// to run it, and end with exit status 1. What Qt says while starting is held back until a
// platform has started, then passed on unchanged.
void watchForMissingDisplay(int argc, char *argv[]);

} // namespace toolkit
