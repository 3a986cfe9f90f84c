// The project document without any window: the save/open/drop state
// machine, the modified flag, the file name and caption, the recent list,
// the run and the loading of its plot data.

#include "AppTestSupport.h"
#include "ProjectDocument.h"
#include "RunWait.h"

#include "AnalysisRun.h"
#include "ResultPlots.h"
#include "Table.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

// One SI layer 6 m deep, a pile of 5 m, two piles, three frequencies; any
// word can be replaced to damage it.
QByteArray twoPiles(const QByteArray& title = "Two piles")
{
    return title
           + "\r\n2 \r\n1\r\n20 6 150 0.4 1.8 0.05\r\n30000000 0.0063617251 0.28274334 0.25 0.3 2.5 0.01\r\n5\r\n"
             "2\r\n-1.5 0 \r\n1.5 0 \r\n200 500 200000 0.05\r\n3 1 2\r\n";
}

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class ProjectDocumentTest : public QObject {
    Q_OBJECT

private:
    QString write(const QByteArray& text, const QString& name) { return WriteTestFile(*m_dir, text, name); }

    // A fresh document on fresh tables and plots, started without an argument.
    void makeDocument(const QStringList& arguments = {})
    {
        m_document.reset();
        m_plots = std::make_unique<ResultPlots>();
        m_tables = std::make_unique<ProjectTables>();
        m_dialogs = std::make_unique<TestDialogs>();
        m_document = std::make_unique<ProjectDocument>(*m_tables, *m_plots);
        m_document->SetDialogs(m_dialogs.get(), nullptr);
        BoundRunWaits(*m_document);
        m_document->StartUp(arguments);
    }

    void openWithFilter(const QString& path, int filter)
    {
        m_dialogs->openPath = path;
        m_dialogs->openFilter = filter;
        m_document->FileOpen();
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QTemporaryDir> m_settingsDir;
    std::unique_ptr<ProjectTables> m_tables;
    std::unique_ptr<ResultPlots> m_plots;
    std::unique_ptr<TestDialogs> m_dialogs;
    std::unique_ptr<ProjectDocument> m_document;

private slots:
    void init()
    {
        UseFreshFolders(m_dir, m_settingsDir);
        qunsetenv("KELDOR_FAKE_MODE");
        makeDocument();
    }

    void cleanup()
    {
        m_document.reset();
    }

    void discardingAsksFirst_data()
    {
        QTest::addColumn<int>("operation");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("replaced");
        using A = UserDialogs::Reply;
        // 0 New, 1 Open, 2 a recent file, 3 a drop.
        for (int op = 0; op < 4; ++op) {
            const QByteArray name = QByteArray::number(op);
            QTest::newRow(name + " cancel") << op << int(A::Cancel) << false;
            QTest::newRow(name + " no") << op << int(A::No) << true;
            // Yes on a never-saved project asks for a name; none given cancels.
            QTest::newRow(name + " yes, no name") << op << int(A::Yes) << false;
        }
    }
    void discardingAsksFirst()
    {
        QFETCH(int, operation);
        QFETCH(int, answer);
        QFETCH(bool, replaced);
        const QString path = write(twoPiles("Opened"), "a.kld");
        m_document->OpenFileName(path, true); // in the recent list
        m_document->FileNew();
        m_document->ProgramData().Title = "Edited";
        m_document->SetModified(true);
        m_dialogs->answer = UserDialogs::Reply(answer);
        QSignalSpy closing(m_document.get(), &ProjectDocument::closingProject);
        QStringList titleWhenClosing;
        connect(m_document.get(), &ProjectDocument::closingProject, this,
                [&] { titleWhenClosing << m_document->ProgramData().Title; });
        switch (operation) {
        case 0: m_document->FileNew(); break;
        case 1: openWithFilter(path, 1); break;
        case 2: m_document->OpenRecentFile(0); break;
        case 3: m_document->DropFiles({path}); break;
        }
        QCOMPARE(m_dialogs->questions, 1);
        QCOMPARE(closing.count(), replaced ? 1 : 0);
        QCOMPARE(m_document->IsModified(), !replaced);
        QCOMPARE(m_document->ProgramData().Title, replaced ? (operation == 0 ? "New Pile" : "Opened") : "Edited");
        // The windows close while the old project still stands, so that their edits go there.
        if (replaced)
            QCOMPARE(titleWhenClosing, QStringList({"Edited"}));
        QCOMPARE(m_dialogs->saveTitles.size(), answer == int(UserDialogs::Reply::Yes) ? 1 : 0);
    }

    void saveAsNamesTheProjectOnlyOnceWritten()
    {
        QSignalSpy captions(m_document.get(), &ProjectDocument::captionChanged);
        m_document->SetModified(true);
        // A folder that does not exist: nothing changes but the message.
        const QString missing = m_dir->filePath("no/such/p.kld");
        m_dialogs->savePaths.push_back(missing);
        QVERIFY(!m_document->FileSave());
        QCOMPARE(m_dialogs->saveTitles, QStringList({"Save NewPile As"}));
        QCOMPARE(m_dialogs->messages.size(), 1);
        QVERIFY(m_dialogs->messages[0].startsWith("The project file " + missing + " could not be saved.\r"));
        QVERIFY(m_dialogs->messages[0].contains("does not exist"));
        QCOMPARE(m_document->FileName(), "NewPile.kld");
        QCOMPARE(m_document->Caption(), "KELDOR 2.0 - NewPile");
        QCOMPARE(captions.count(), 0);
        QVERIFY(m_document->IsModified());
        // Inside the question, the failure ends the operation that asked.
        m_dialogs->answer = UserDialogs::Reply::Yes;
        m_dialogs->savePaths.push_back(missing);
        QVERIFY(!m_document->CheckSave());

        const QString path = m_dir->filePath("first.kld");
        m_dialogs->savePaths.push_back(path);
        QVERIFY(m_document->FileSave());
        QCOMPARE(m_document->FileName(), path);
        QCOMPARE(captions.count(), 1);
        QCOMPARE(captions.last().at(0).toString(), "KELDOR 2.0 - First");
        QVERIFY(!m_document->IsModified());
        QVERIFY(contents(path).startsWith("New Pile\r\n1 \r\n"));
        // Saved under its name, the next save asks nothing; Save As lists nothing.
        m_document->SetModified(true);
        QVERIFY(m_document->FileSave());
        QCOMPARE(m_dialogs->saveTitles.size(), 3);
        QCOMPARE(m_document->RecentFiles().Count(), 0);
    }

    void aReadOnlyFolderStillSavesItsProject()
    {
        const QString folder = m_dir->filePath("readonly");
        const QString path = write(twoPiles(), "readonly/p.kld");
        m_document->OpenFileName(path, true);
        m_document->ProgramData().Title = "Saved in place";
        m_document->SetModified(true);
        ::chmod(QFile::encodeName(m_dir->path()).constData(), 0755);
        ::chmod(QFile::encodeName(path).constData(), 0666);
        ::chmod(QFile::encodeName(folder).constData(), 0555);
        const bool held = AsOrdinaryUser([&] {
            return m_document->FileSave() && m_dialogs->messages.isEmpty() && !m_document->IsModified()
                   && contents(path).startsWith("Saved in place\r\n");
        });
        ::chmod(QFile::encodeName(folder).constData(), 0755);
        QVERIFY(held);
    }

    void aFileOfTheOtherLayoutIsNeverOverwritten()
    {
        // Six piles in the 2.0 layout, opened with the Open dialog left at "Keldor 1.0".
        QByteArray text = twoPiles("Six");
        text.replace("2\r\n-1.5 0 \r\n1.5 0 \r\n", "6\r\n0 0 \r\n3 0 \r\n6 0 \r\n0 3 \r\n3 3 \r\n6 3 \r\n");
        const QString path = write(text, "six.kld");
        openWithFilter(path, 2);
        QCOMPARE(m_dialogs->messages.size(), 1);
        QVERIFY2(m_dialogs->messages[0].contains("not a project file of the Keldor 1.0 layout"),
                 qPrintable(m_dialogs->messages[0]));
        QVERIFY(m_document->SaveAsRequired());
        QCOMPARE(m_document->OpenFilterIndex(), 2);

        // Save and Run ask for a name; cancelled, the file stays as it was and nothing runs.
        QVERIFY(!m_document->FileSave());
        m_document->RunAnalysis();
        QCOMPARE(m_dialogs->saveTitles, QStringList({"Save Six As", "Save Six As"}));
        QCOMPARE(contents(path), text);
        QVERIFY(!QFile::exists(m_dir->filePath("six.klo")));

        // Opened in its own layout, it reads whole.
        m_dialogs->messages.clear();
        openWithFilter(path, 1);
        QVERIFY(m_dialogs->messages.isEmpty());
        QCOMPARE(m_tables->PileCoord().RowCount(), 6);
        QVERIFY(!m_document->SaveAsRequired());
    }

    void valuesBeyondTheUnitsLeaveAValidProject()
    {
        // Refused while read: the message names the line and item.
        const QString huge = write(QByteArray(twoPiles()).replace("20 6 150", "20 1E4931 150"), "huge.kld");
        openWithFilter(huge, 1);
        QCOMPARE(m_dialogs->messages.size(), 1);
        QVERIFY(m_dialogs->messages[0].startsWith("Error on Line 4 Item 2\r"));
        m_document->FileNew();
        QCOMPARE(m_document->ProgramData().Units, 1);

        // A value no units change can hold, entered in a table window: a
        // units change converts nothing, and every way to another project works.
        const QString good = write(twoPiles("Good"), "good.kld");
        const auto plant = [&] {
            m_document->OpenFileName(good, true);
            m_tables->D().Cells(0, 0)->SetFloat(1E4931L);
            m_tables->D().SetModified(false);
        };
        plant();
        m_dialogs->messages.clear();
        QSignalSpy units(m_document.get(), &ProjectDocument::unitsChanged);
        QVERIFY(!m_document->SetUnits(1));
        QCOMPARE(units.count(), 0);
        QCOMPARE(m_dialogs->messages.size(), 1);
        QCOMPARE(m_document->ProgramData().Units, 2);
        QCOMPARE(m_tables->D().Cells(0, 0)->GetFloat(), 1E4931L);
        QVERIFY(!m_document->IsModified());

        const std::function<void()> ways[] = {
            [&] { m_document->FileNew(); },
            [&] { openWithFilter(good, 1); },
            [&] { m_document->OpenRecentFile(0); },
            [&] { m_document->DropFiles({good}); },
            [&] { m_document->StartUp({good}); },
        };
        for (const auto& way : ways) {
            plant();
            m_dialogs->messages.clear();
            way();
            QVERIFY2(m_dialogs->messages.isEmpty(), qPrintable(m_dialogs->messages.join(" | ")));
            QVERIFY(m_tables->D().Cells(0, 0)->GetFloat() < 100.0L);
        }
    }

    void unitsCountAsAnEdit()
    {
        QSignalSpy units(m_document.get(), &ProjectDocument::unitsChanged);
        QVERIFY(m_document->SetUnits(2));
        QVERIFY(m_document->IsModified());
        QCOMPARE(units.count(), 1);
        m_document->SetModified(false);
        QVERIFY(!m_document->SetUnits(2));
        QVERIFY(!m_document->IsModified());
        QCOMPARE(units.count(), 1);
    }

    void recentFilesAndTheOldLayout()
    {
        const QString a = write(twoPiles("A"), "a.kld");
        const QString grid = write("Grid\r\n2 \r\n1\r\n20 6 150 0.4 1.8 0.05\r\n"
                                   "30000000 0.0063617251 0.28274334 0.25 0.3 2.5 0.01\r\n5\r\n2 3 1 0\r\n"
                                   "200 500 200000 0.05\r\n3 1 2\r\n",
                                   "sub/grid.kld");
        openWithFilter(a, 1);
        QCOMPARE(m_document->RecentFiles().Entry(0), a);
        // A 1.0 project enters the list only once saved, in the 2.0 layout.
        openWithFilter(grid, 2);
        QVERIFY(m_dialogs->messages.isEmpty());
        QCOMPARE(QDir::currentPath(), QFileInfo(grid).absolutePath());
        QCOMPARE(m_document->RecentFiles().Count(), 1);
        QVERIFY(m_document->FileSave());
        QCOMPARE(m_document->RecentFiles().Entry(0), grid);
        QCOMPARE(m_document->RecentFiles().Entry(1), a);
        QVERIFY(contents(grid).contains("\r\n2\r\n0 0 \r\n3 0 \r\n"));
        // Written at once, and read again by the next document.
        makeDocument();
        QCOMPARE(m_document->RecentFiles().Entry(0), grid);
        QCOMPARE(m_document->RecentFiles().Count(), 2);
    }

    void startUpAndDropOpenWithoutListing()
    {
        const QString path = write(twoPiles("Started"), "start/proj.kld");
        write("1 1\r\n", "start/proj.klp"); // unreadable plot data: no message here
        QDir::setCurrent(QFileInfo(path).absolutePath());
        makeDocument({"proj"});
        QCOMPARE(m_document->FileName(), path);
        QCOMPARE(m_document->Caption(), "KELDOR 2.0 - Proj");
        QVERIFY(!m_document->PlotDataLoaded());
        QVERIFY(m_dialogs->messages.isEmpty());

        QDir::setCurrent(m_dir->path());
        const QString dropped = write(twoPiles("Dropped"), "drop/b.kld");
        m_document->DropFiles({dropped, path});
        QCOMPARE(m_document->ProgramData().Title, "Dropped");
        QCOMPARE(QDir::currentPath(), QFileInfo(dropped).absolutePath());
        QCOMPARE(m_document->RecentFiles().Count(), 0);

        makeDocument({"missing.dat"});
        QCOMPARE(m_document->FileName(), "NewPile.kld");
    }

    void thePlotsFileDialogsStartInTheProjectsFolder()
    {
        // Every plot's folder, or "differ" when the fourteen disagree.
        auto folder = [this] {
            QStringList all;
            for (TGraphPlot* plot : m_plots->All())
                all << plot->FileFolder;
            all.removeDuplicates();
            return all.size() == 1 ? all[0] : QStringLiteral("differ");
        };
        QCOMPARE(folder(), QString()); // a new project names no folder
        const QString started = write(twoPiles(), "start/p.kld");
        makeDocument({started});
        QCOMPARE(folder(), m_dir->filePath("start"));
        m_document->OpenFileName(write(twoPiles(), "open/p.kld"), true);
        QCOMPARE(folder(), m_dir->filePath("open"));
        m_dialogs->savePaths.push_back(m_dir->filePath("saved/q.kld"));
        QVERIFY(QDir(m_dir->path()).mkdir("saved"));
        QVERIFY(m_document->FileSaveAs());
        QCOMPARE(folder(), m_dir->filePath("saved"));
        // A run makes the program's folder the current one; the plots stay with the project.
        m_document->SetAnalysisProgram(QStringLiteral(FAKE_KDCALC_PATH));
        m_document->RunAnalysis();
        QVERIFY(m_document->PlotDataLoaded());
        QCOMPARE(folder(), m_dir->filePath("saved"));
        m_document->DropFiles({write(twoPiles(), "drop/p.kld")});
        QCOMPARE(folder(), m_dir->filePath("drop"));
        m_document->FileNew();
        QCOMPARE(folder(), QString());
        QVERIFY2(m_dialogs->messages.isEmpty(), qPrintable(m_dialogs->messages.join(" | ")));
    }

    void aRunLoadsThePlotsOrShowsTheProgramsLastLines()
    {
        const QString path = write(twoPiles(), "run.kld");
        m_document->OpenFileName(path, true);
        m_document->SetAnalysisProgram(QStringLiteral(FAKE_KDCALC_PATH));
        int waitedSteps = -1;
        bool runningWhileWaited = false;
        m_document->SetRunWaiter([&](AnalysisRun& run, int steps) {
            waitedSteps = steps;
            runningWhileWaited = m_document->IsRunning();
            return WaitForRunEnd(run);
        });
        QSignalSpy failed(m_document.get(), &ProjectDocument::runFailed);

        m_document->RunAnalysis();
        QVERIFY2(m_dialogs->messages.isEmpty(), qPrintable(m_dialogs->messages.join(" | ")));
        QCOMPARE(waitedSteps, 6);
        QVERIFY(runningWhileWaited);
        QVERIFY(m_document->PlotDataLoaded());
        QCOMPARE(m_plots->pltSkin.PointCount(), 1);
        QVERIFY(!m_document->IsRunning());

        qputenv("KELDOR_FAKE_MODE", "flood");
        m_document->RunAnalysis();
        QCOMPARE(failed.count(), 1);
        QVERIFY(!m_document->PlotDataLoaded());
        QCOMPARE(m_dialogs->messages.size(), 1);
        const QString& message = m_dialogs->messages[0];
        QVERIFY(message.startsWith(RunFailedMessage() + "\rProject file: " + path + "\r"));
        QVERIFY(message.contains("exit status 3."));
        // The output goes in its own text, bounded, ending with the program's last line.
        QCOMPARE(m_dialogs->texts.size(), 1);
        QVERIFY(m_dialogs->texts[0].endsWith("\rFAKE: FLOODED"));
        QVERIFY(m_dialogs->texts[0].size() < 3 * AnalysisRun::kMaxLineBytes);
    }

    // A run that failed because its own folder had no room left the earlier
    // results beside the project whole: their plots stay, and the message
    // says why with the program's last lines.
    void aRunWhoseFolderFailedItKeepsThePlots()
    {
        const QString path = write(twoPiles(), "run.kld");
        m_document->OpenFileName(path, true);
        m_document->SetAnalysisProgram(QStringLiteral(FAKE_KDCALC_PATH));
        m_document->RunAnalysis();
        QVERIFY(m_document->PlotDataLoaded());
        const QByteArray plotData = contents(m_dir->filePath("run.klp"));
        QVERIFY(!plotData.isEmpty());
        QSignalSpy failed(m_document.get(), &ProjectDocument::runFailed);

        qputenv("KELDOR_FAKE_MODE", "line");
        qputenv("KELDOR_FAKE_LINE", " CANNOT WRITE FILE STGRPKVV.CBM: No space left on device");
        m_document->RunAnalysis();
        qunsetenv("KELDOR_FAKE_LINE");
        QCOMPARE(failed.count(), 0);
        QVERIFY(m_document->PlotDataLoaded());
        QCOMPARE(m_plots->pltSkin.PointCount(), 1);
        QCOMPARE(contents(m_dir->filePath("run.klp")), plotData);
        QCOMPARE(m_dialogs->messages.size(), 1);
        QVERIFY2(m_dialogs->messages[0].contains("has no room for the files of the run (No space left on device)"),
                 qPrintable(m_dialogs->messages[0]));
        QCOMPARE(m_dialogs->texts.size(), 1);
        QVERIFY(m_dialogs->texts[0].endsWith("CANNOT WRITE FILE STGRPKVV.CBM: No space left on device"));
    }
};

QTEST_GUILESS_MAIN(ProjectDocumentTest)
#include "ProjectDocumentTest.moc"
