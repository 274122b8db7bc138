#include "app/appidentity.h"
#include "app/mainwindow.h"

#include <QApplication>
#include <QUrl>

namespace {

// The desktop entry hands over a dropped or chosen folder as a path (%f) or a URL (%u).
QString pathOf(const QString& argument)
{
    return argument.startsWith(QLatin1String("file:"), Qt::CaseInsensitive) ? QUrl(argument).toLocalFile() : argument;
}

}

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    setApplicationIdentity();
    // Ties the window to its installed menu entry and icon (Wayland app id).
    QGuiApplication::setDesktopFileName(QStringLiteral("com.velloran.Ambrel"));
    MainWindow window;
    // ambrel PATH: opens with the path filled in (Qt has taken its own options out).
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 1)
        window.setDrivePath(pathOf(arguments.at(1)));
    window.show();
    return application.exec();
}
