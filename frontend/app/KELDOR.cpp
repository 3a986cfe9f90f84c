#include "Main.h"
#include "UnitsCatalogue.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Varnoth"));
    QApplication::setApplicationName(QStringLiteral("KELDOR"));

    Categories(); // the units catalogue lives from here to the program's end
    TMainForm form;
    form.SetArguments(QApplication::arguments().mid(1));
    form.show();
    return QApplication::exec();
}
