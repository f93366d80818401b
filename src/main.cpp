// Brimvale: a sound editor.

#include <QApplication>

#include "dlg/services.h"
#include "print/printservice.h"
#include "shell/app.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brimvale"));
    QApplication::setOrganizationName(QStringLiteral("Hollin"));
    InstallQtServices();
    NSPrint::TQtPrintService printing;
    TApp app;
    app.Start(QApplication::arguments().mid(1));
    return application.exec();
}
