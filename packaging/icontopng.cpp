// Writes one of the program's XPM icons as PNG, the format every desktop reads from an icon theme.
#include <QImage>
#include <QString>

#include <cstdio>

int main(int argc, char *argv[]) {
    if (argc != 3) {
        std::fputs("usage: pemvaro_icontopng ICON.xpm ICON.png\n", stderr);
        return 2;
    }
    const QImage icon(QString::fromLocal8Bit(argv[1]));
    if (icon.isNull() || !icon.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "pemvaro_icontopng: cannot turn %s into %s\n", argv[1], argv[2]);
        return 1;
    }
    return 0;
}
