#pragma once

// How a text file is opened in the configured text editor, or with the
// desktop's opener when none is set.

#include <QString>
#include <QStringList>

#include <functional>

class QObject;
class QProcess;

struct EditorCommand {
    QString Program;
    QStringList Arguments;
};

// The desktop's opener, which starts the desktop's program for a file.
QString DefaultDesktopOpener();

// The command for the "Word Processor" setting: the desktop's opener
// (DefaultDesktopOpener) when it is empty; the program itself when it names
// an existing file; otherwise a command line split into a program and its
// arguments (without a shell). The file is always one argument of its own,
// the last.
EditorCommand EditorCommandFor(const QString& wordProcessor, const QString& file);

// Starts the editor without waiting for it; false when it could not start,
// and then reason (when given) says why ("No such file or directory").
bool StartEditor(const QString& wordProcessor, const QString& file, QString* reason = nullptr);

// Starts opener (a program, DefaultDesktopOpener by default) on file as a
// process of this program's own and returns at once, with the running
// process, which deletes itself once it has ended; null when it could not
// be started, and failed has run then. Otherwise failed runs once the opener
// has ended with a non-zero status or crashed (xdg-open that finds no
// program for the file ends with 3 or 4), unless context is gone by then.
// An opener still running when this program ends is left running: it may
// be the user's editor by then.
QProcess* OpenWithDesktop(const QString& opener, const QString& file, QObject* context, std::function<void()> failed);
