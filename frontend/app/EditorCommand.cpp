#include "EditorCommand.h"

#include <QFileInfo>
#include <QObject>
#include <QProcess>

QString DefaultDesktopOpener()
{
    return QStringLiteral("xdg-open");
}

EditorCommand EditorCommandFor(const QString& wordProcessor, const QString& file)
{
    EditorCommand command;
    const QString setting = wordProcessor.trimmed();
    if (!setting.isEmpty() && QFileInfo(wordProcessor).isFile()) {
        command.Program = wordProcessor;
    } else {
        const QStringList words = QProcess::splitCommand(setting);
        if (words.isEmpty()) {
            command.Program = DefaultDesktopOpener();
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

QProcess* OpenWithDesktop(const QString& opener, const QString& file, QObject* context, std::function<void()> failed)
{
    // No parent: a QProcess that is destroyed while its program runs kills
    // it, and the opener must outlive the window that started it.
    auto* process = new QProcess;
    process->setProgram(opener);
    process->setArguments({QFileInfo(file).absoluteFilePath()});
    // No pipes to this program, which may end before the opener does: the
    // opener reads nothing and writes where this program does.
    process->setStandardInputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->start();
    // Waits for the program to be started only, not for it to end.
    if (!process->waitForStarted()) {
        delete process;
        if (failed)
            failed();
        return nullptr;
    }
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    if (failed)
        QObject::connect(process, &QProcess::finished, context ? context : process,
                         [failed](int code, QProcess::ExitStatus status) {
                             if (status != QProcess::NormalExit || code != 0)
                                 failed();
                         });
    return process;
}
