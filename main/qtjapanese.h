#pragma once

class QCoreApplication;

// Qt's own texts (the edit boxes' context menus, the standard buttons) in Japanese, as is the
// rest of the window, whatever the locale. Without the catalogue they stay English.
void installQtJapanese(QCoreApplication &app);
