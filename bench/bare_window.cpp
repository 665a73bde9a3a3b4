// The yardstick for the game's start-up: a Qt Widgets main window with one
// label and nothing else.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new QLabel(QStringLiteral("Bare Qt window")));
    window.show();
    return app.exec();
}
