#include "About.h"
#include "KeldorApplication.h"
#include "Main.h"
#include "UnitsCatalogue.h"

#include <QIcon>

int main(int argc, char* argv[])
{
    KeldorApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Varnoth"));
    QApplication::setApplicationName(QStringLiteral("KELDOR"));
    QApplication::setWindowIcon(QIcon(ProgramPixmap(64)));

    Categories(); // the units catalogue lives from here to the program's end
    TMainForm form;
    app.SetReporter([&form](const QString& message) { form.Dialogs().Inform(&form, message); });
    form.SetArguments(QApplication::arguments().mid(1));
    form.show();
    return QApplication::exec();
}
