#include "app/ProgramApp.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    CProgramApp app(QCoreApplication::arguments(), QCoreApplication::applicationFilePath());
    if (!app.InitInstance()) {
        app.ExitInstance();
        return 1;
    }
    QApplication::exec();
    return app.ExitInstance();
}
