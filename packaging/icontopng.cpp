// Writes one of the program's XPM icons in the formats desktops read from an icon theme: PNG,
// enlarged by a whole factor with every pixel kept square and sharp, or SVG, one rectangle per run
// of a colour on a row, which scales to any size as crisply.
#include <QColor>
#include <QFile>
#include <QImage>
#include <QString>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>

namespace {

bool writeSvg(const QImage &icon, const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    QTextStream svg(&file);
    svg << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << icon.width() << "\" height=\""
        << icon.height() << "\" viewBox=\"0 0 " << icon.width() << ' ' << icon.height()
        << "\" shape-rendering=\"crispEdges\">\n";
    for (int y = 0; y < icon.height(); ++y) {
        for (int x = 0; x < icon.width();) {
            const QRgb colour = icon.pixel(x, y);
            int end = x + 1;
            while (end < icon.width() && icon.pixel(end, y) == colour) {
                ++end;
            }
            if (qAlpha(colour) != 0) {
                svg << "<rect x=\"" << x << "\" y=\"" << y << "\" width=\"" << end - x
                    << "\" height=\"1\" fill=\"" << QColor(colour).name() << "\"/>\n";
            }
            x = end;
        }
    }
    svg << "</svg>\n";
    return svg.status() == QTextStream::Ok && file.flush();
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc != 3 && argc != 4) {
        std::fputs("usage: pemvaro_icontopng ICON.xpm ICON.png [FACTOR] | ICON.xpm ICON.svg\n",
                   stderr);
        return 2;
    }
    const QImage icon(QString::fromLocal8Bit(argv[1]));
    const QString out = QString::fromLocal8Bit(argv[2]);
    const int factor = argc == 4 ? std::atoi(argv[3]) : 1;
    bool written = false;
    if (!icon.isNull() && factor >= 1) {
        written = out.endsWith(u".svg") ? writeSvg(icon, out)
                                        : icon.scaled(icon.size() * factor, Qt::IgnoreAspectRatio,
                                                      Qt::FastTransformation)
                                              .save(out, "PNG");
    }
    if (!written) {
        std::fprintf(stderr, "pemvaro_icontopng: cannot turn %s into %s\n", argv[1], argv[2]);
        return 1;
    }
    return 0;
}
