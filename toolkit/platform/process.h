#pragma once

class QCoreApplication;

namespace toolkit {

// Readies the process for the window once the application object exists; main() and the window
// tests call it alike. SIGTERM, SIGINT and SIGHUP then close the window as its close button does
// (a second one ends the process at once); the program gets its name, desktop file and icon (16
// and 32 pixels, compiled in: no image-format plugin is loaded); Qt's own texts are Japanese;
// the window's face maps to installed ones; the style's images are read; screen readers learn
// that the main window is a frame named by its caption and the sample an image whose description
// is its text alternative.
void setUpProcess();

// Where no windowing platform can be started (no display, a dead X server, an unknown platform),
// Qt aborts inside the application object's constructor with advice to reinstall and a list of
// its plugins. Called right before that constructor, this makes the program say instead, in one
// English and one Japanese line on standard error, that it needs a display, what it tried and how
// to run it, and end with exit status 1. What Qt says while starting is held back until a
// platform has started, then passed on unchanged.
void watchForMissingDisplay(int argc, char *argv[]);

// Qt's own texts (the edit boxes' context menus, the standard buttons) in Japanese, whatever the
// locale.
void installQtJapanese(QCoreApplication &app);

// Reads the images the style paints the window with (Qt's own style: the group boxes' frame, a
// PNG image) with Qt's built-in reader into Qt's pixmap cache. Read the usual way, they would load
// and link every image format plugin installed (SVG and JPEG with their libraries), a tenth of
// the start-up time.
void preloadStyleImages();

} // namespace toolkit
