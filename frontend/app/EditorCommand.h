#pragma once

// How a text file is opened in the configured text editor.

#include <QString>
#include <QStringList>

struct EditorCommand {
    QString Program;
    QStringList Arguments;
};

// The command for the "Word Processor" setting: the desktop's opener
// (xdg-open) when it is empty; the program itself when it names an existing
// file; otherwise a command line split into a program and its arguments
// (without a shell). The file is always one argument of its own, the last.
EditorCommand EditorCommandFor(const QString& wordProcessor, const QString& file);

// Starts the editor without waiting for it; false when it could not start,
// and then reason (when given) says why ("No such file or directory").
bool StartEditor(const QString& wordProcessor, const QString& file, QString* reason = nullptr);
