#include "KeldorApplication.h"
#include "Main.h"

int main(int argc, char* argv[])
{
    TKeldorApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Varnoth"));
    QApplication::setApplicationName(QStringLiteral("KELDOR"));

    TMainForm form;
    app.SetReporter([&form](const QString& message) { form.Dialogs().Inform(&form, message); });
    form.SetArguments(QApplication::arguments().mid(1));
    form.show();
    return QApplication::exec();
}
