#include "app/appidentity.h"
#include "app/mainwindow.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    setApplicationIdentity();
    MainWindow window;
    window.show();
    return application.exec();
}
