// The bare window with one line of Japanese text in the window's face: what drawing any Japanese
// text costs at start-up (the font database, the face, its fallbacks), before Pemvaro's own work.
#include "toolkit/platform/fonts.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    toolkit::installFontSubstitutes();
    QWidget window;
    window.setFixedSize(544, 399);
    QFont font(QString::fromUtf16(toolkit::LayoutFaceName));
    font.setPixelSize(12);
    window.setFont(font);
    QLabel label(QStringLiteral("分数リスト 分子 分母 変更 削除 タグ サンプル"), &window);
    window.show();
    return QApplication::exec();
}
