#pragma once

class QCoreApplication;

namespace toolkit {

// Makes the process ready for the window, once the application object exists; main() and the
// window tests call it alike:
// - SIGTERM (a session ending, `kill`), SIGINT (Ctrl+C in a terminal) and SIGHUP (a closed
//   terminal) end the event loop as closing the window does, so that the clipboard is handed to a
//   clipboard manager and the program leaves through its normal exit; a second signal while it
//   closes ends the process at once;
// - the program's name, desktop file and icon (16 and 32 pixels, compiled in: no image-format
//   plugin is loaded for them);
// - Qt's own texts in Japanese (installQtJapanese);
// - the window's face mapped to installed ones (installFontSubstitutes);
// - the style's images read ahead (preloadStyleImages);
// - what screen readers cannot learn from Qt: the main window is a frame named by its caption,
//   not a filler, and the sample is an image whose description is its text alternative.
// Where no display can be opened, watchForMissingDisplay (displaycheck.h) must come before the
// application object.
void setUpProcess();

// Qt's own texts (the edit boxes' context menus, the standard buttons) in Japanese, as is the
// rest of the window, whatever the locale. Without the catalogue they stay English.
void installQtJapanese(QCoreApplication &app);

// Loads the images the window's style paints the window with before the window is first painted,
// without Qt's image format plugins. Qt's own style draws the group boxes' frame from a PNG
// image; reading it the usual way loads and links every image format plugin installed (SVG and
// JPEG among them, with their libraries), about a tenth of the start-up time, though PNG needs
// none of them. The image is the same one, read by Qt's built-in PNG reader and kept in Qt's
// pixmap cache, where the style finds it.
void preloadStyleImages();

} // namespace toolkit
