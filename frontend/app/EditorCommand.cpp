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

bool StartEditor(const QString& wordProcessor, const QString& file, QString* reason)
{
    const EditorCommand command = EditorCommandFor(wordProcessor, file);
    QProcess process;
    process.setProgram(command.Program);
    process.setArguments(command.Arguments);
    if (process.startDetached())
        return true;
    if (reason) {
        // The system's text without the name of the call that failed ("execv: ").
        QString text = process.errorString();
        const qsizetype colon = text.indexOf(QStringLiteral(": "));
        if (text.startsWith(QStringLiteral("exec")) && colon >= 0)
            text.remove(0, colon + 2);
        *reason = text.isEmpty() ? QStringLiteral("the program could not be started") : text;
    }
    return false;
}
