#include "Main.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Varnoth"));
    QApplication::setApplicationName(QStringLiteral("KELDOR"));

    TMainForm form;
    form.SetArguments(QApplication::arguments().mid(1));
    form.show();
    return QApplication::exec();
}
