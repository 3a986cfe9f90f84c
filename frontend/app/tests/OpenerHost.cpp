// Starts the desktop's opener given as its first argument on the file given
// as its second, as the text commands do, and ends at once, its application
// object and all: a test then looks whether the opener still runs.

#include "EditorCommand.h"

#include <QCoreApplication>
#include <QObject>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    QObject context;
    return OpenWithDesktop(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]), &context, [] {}) ? 0 : 1;
}
