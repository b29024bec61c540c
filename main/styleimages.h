#pragma once

// Loads the images the window's style paints the window with before the window is first painted,
// without Qt's image format plugins. Qt's own style draws the group boxes' frame from a PNG
// image; reading it the usual way loads and links every image format plugin installed (SVG and
// JPEG among them, with their libraries), about a tenth of the start-up time, though PNG needs
// none of them. The image is the same one, read by Qt's built-in PNG reader and kept in Qt's
// pixmap cache, where the style finds it.
void preloadStyleImages();
