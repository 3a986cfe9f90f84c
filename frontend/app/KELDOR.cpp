#include "About.h"
#include "Main.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Varnoth"));
    QApplication::setApplicationName(QStringLiteral("KELDOR"));
    QApplication::setWindowIcon(QIcon(ProgramPixmap(64)));

    TMainForm form;
    form.SetArguments(QApplication::arguments().mid(1));
    form.show();
    return QApplication::exec();
}
