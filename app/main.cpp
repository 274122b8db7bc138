#include "app/appidentity.h"
#include "app/mainwindow.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    setApplicationIdentity();
    // Ties the window to its installed menu entry and icon (Wayland app id).
    QGuiApplication::setDesktopFileName(QStringLiteral("com.velloran.Ambrel"));
    MainWindow window;
    window.show();
    return application.exec();
}
