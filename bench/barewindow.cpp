// The baseline of the start-up benchmark (bench/startup.sh): a bare Qt widgets window with a
// menu bar, built with the same compiler and flags as the designer.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("zelp bare window"));
    window.menuBar()->addMenu(QStringLiteral("&File"))->addAction(QStringLiteral("E&xit"));
    window.resize(712, 438);
    window.show();
    return app.exec();
}
