// The baseline for the start-up benchmark: the least a Qt 6 program of this
// kind does before its first frame, a 150 x 243 tool window and a tray icon.

#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::darkGreen);
    QSystemTrayIcon tray{QIcon(pixmap)};
    tray.show();
    QWidget window(nullptr, Qt::Tool);
    window.resize(150, 243);
    window.show();
    return QApplication::exec();
}
