// The least Qt Widgets program with one fixed window of Pemvaro's size: the yardstick for start-up
// time and memory.
#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(544, 399);
    window.show();
    return QApplication::exec();
}
