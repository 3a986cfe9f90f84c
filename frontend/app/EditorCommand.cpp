#include "EditorCommand.h"

#include <QFileInfo>
#include <QProcess>

EditorCommand EditorCommandFor(const QString& wordProcessor, const QString& file)
{
    EditorCommand command;
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
    const EditorCommand command = EditorCommandFor(wordProcessor, file);
    return QProcess::startDetached(command.Program, command.Arguments);
}
