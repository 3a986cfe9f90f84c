// The desktop's opener as the text commands start it: a process of the
// program's own whose exit status tells whether it found a program for the
// file, which never blocks the window and is never killed.

#include "AppTestSupport.h"
#include "EditorCommand.h"

#include <QCoreApplication>
#include <QPointer>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

class EditorCommandTest : public QObject {
    Q_OBJECT

private slots:
    void theOpenersStatusTellsWhetherItFailed_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("failed");
        QTest::newRow("a program was found for the file") << 0 << false;
        QTest::newRow("no program for the file (xdg-open 3)") << 3 << true;
        QTest::newRow("the program failed (xdg-open 4)") << 4 << true;
        QTest::newRow("killed by a signal") << FakeOpener::Crashes << true;
    }
    void theOpenersStatusTellsWhetherItFailed()
    {
        QFETCH(int, status);
        QFETCH(bool, failed);
        FakeOpener opener(status);
        QObject context;
        int failures = 0;
        QPointer<QProcess> process = OpenWithDesktop(opener.Program, "report.klo", &context, [&] { ++failures; });
        QVERIFY(process);
        QCOMPARE(failures, 0); // nothing is known before it has ended
        QTRY_VERIFY(!process); // it deletes itself once it has ended
        QCOMPARE(failures, failed ? 1 : 0);
        // The file's full path, as its one argument.
        QCOMPARE(opener.Opened(), QStringList({QDir::current().absoluteFilePath("report.klo")}));
    }

    void anOpenerThatCannotStartFailsAtOnce()
    {
        QObject context;
        int failures = 0;
        QVERIFY(!OpenWithDesktop("/no/such/opener", "report.klo", &context, [&] { ++failures; }));
        QCOMPARE(failures, 1);
    }

    void aRunningOpenerIsLeftAloneAndForgotten()
    {
        FakeOpener opener(FakeOpener::Holds);
        int failures = 0;
        auto context = std::make_unique<QObject>();
        QPointer<QProcess> process = OpenWithDesktop(opener.Program, "notes.klr", context.get(), [&] { ++failures; });
        QVERIFY(process);
        QTRY_VERIFY(opener.Runs()); // returned while the opener runs
        // The window that started it goes: the opener stays, and its end
        // later reports to no one.
        context.reset();
        QCoreApplication::processEvents();
        QVERIFY(opener.Runs());
        ::kill(static_cast<pid_t>(opener.Pid()), SIGKILL);
        QTRY_VERIFY(!process);
        QCOMPARE(failures, 0);
    }

    void theOpenerOutlivesTheProgramThatStartedIt()
    {
        FakeOpener opener(FakeOpener::Holds);
        QProcess host;
        host.setProcessChannelMode(QProcess::ForwardedChannels);
        host.start(QStringLiteral(OPENER_HOST_PATH), {opener.Program, "p.kld"});
        QVERIFY(host.waitForFinished());
        QCOMPARE(host.exitCode(), 0);
        QTRY_VERIFY(opener.Pid() > 0);
        QVERIFY(opener.Runs());
    }
};

QTEST_GUILESS_MAIN(EditorCommandTest)
#include "EditorCommandTest.moc"
