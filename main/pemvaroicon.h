#pragma once

#include <QIcon>

// The program's icon, 16 and 32 pixels square, drawn from the pictures compiled into the program:
// reading them needs no image-format plugin at start-up.
QIcon pemvaroIcon();
