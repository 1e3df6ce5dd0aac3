#include "app/frmsplash.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // the program ends when its last window is gone
    QApplication::setQuitOnLastWindowClosed(true);
    forms::loadSplash();
    return app.exec();
}
