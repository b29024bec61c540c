#include "main/pemvaroicon.h"

#include <QPixmap>

// XPM is C: each picture is an array of strings named after its file.
#include "main/icons/pemvaro-16.xpm"
#include "main/icons/pemvaro-32.xpm"

QIcon pemvaroIcon() {
    QIcon icon;
    icon.addPixmap(QPixmap(pemvaro_16));
    icon.addPixmap(QPixmap(pemvaro_32));
    return icon;
}
