#include "EditorCommand.h"

#include <QFileInfo>
#include <QProcess>

TEditorCommand EditorCommandFor(const QString& wordProcessor, const QString& file)
{
    TEditorCommand command;
    const QString setting = wordProcessor.trimmed();
    if (!setting.isEmpty() && QFileInfo(wordProcessor).isFile()) {
        command.Program = wordProcessor;
    } else {
        const QStringList words = QProcess::splitCommand(setting);
        if (words.isEmpty()) {
            command.Program = QStringLiteral("xdg-open");
        } else {
            command.Program = words.first();
            command.Arguments = words.mid(1);
        }
    }
    command.Arguments << file;
    return command;
}

bool StartEditor(const QString& wordProcessor, const QString& file)
{
    const TEditorCommand command = EditorCommandFor(wordProcessor, file);
    return QProcess::startDetached(command.Program, command.Arguments);
}
