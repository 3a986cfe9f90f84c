// Faults found by trying the front end as a new user would, reproduced
// through the real main window: a project no units change can hold, a file
// opened in the other layout, saves that fail or go into a read-only folder,
// the boxes that show a failed run and ask for a file name, and the text
// commands and help on a desktop with no program to open a file.

#include "AppTestSupport.h"
#include "Main.h"

#include "AnalysisRun.h"
#include "HelpWindow.h"
#include "RunWait.h"
#include "Options.h"
#include "Table.h"
#include "TextFileWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include <sys/stat.h>

namespace {

// One SI layer 6 m deep, two piles; thickness is the layer's first value.
QByteArray siProject(const QByteArray& thickness = "6")
{
    return "SI\r\n2 \r\n1\r\n20 " + thickness
           + " 150 0.4 1.8 0.05\r\n30000000 0.0063617251 0.28274334 0.25 0.3 2.5 0.01\r\n5\r\n"
             "2\r\n-1.5 0 \r\n1.5 0 \r\n200 500 200000 0.05\r\n3 1 2\r\n";
}

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs answer on the next modal window that opens, once.
void onNextModal(const std::function<void(QWidget*)>& answer)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            answer(modal);
        }
    });
    timer->start();
}

} // namespace

class MainWindowFaultsTest : public QObject {
    Q_OBJECT

private:
    QString write(const QByteArray& text, const QString& name) { return WriteTestFile(*m_dir, text, name); }

    std::unique_ptr<TMainForm> makeForm()
    {
        auto form = std::make_unique<TMainForm>();
        auto dialogs = std::make_unique<TestDialogs>();
        m_dialogs = dialogs.get();
        form->SetDialogs(std::move(dialogs));
        BoundRunWaits(form->Document());
        // A desktop's opener that finds no program for a file (xdg-open on
        // a minimal desktop), or as the test sets; it keeps every file asked for.
        m_opener = std::make_unique<FakeOpener>(m_openerStatus);
        form->SetDesktopOpener(m_opener->Program);
        form->show();
        return form;
    }

    // The child window the main window shows in front, as the type asked for.
    template <class Window>
    static Window* frontWindow(TMainForm& form)
    {
        QMdiSubWindow* sub = form.MdiArea()->currentSubWindow();
        return sub ? qobject_cast<Window*>(sub->widget()) : nullptr;
    }

    // The failure box stands over a window on screen, as over the main
    // window: the room it may take is the screen's less that window's frame.
    static QSize roomOver(const QWidget& parent)
    {
        return parent.screen()->availableGeometry().size() - (parent.frameGeometry().size() - parent.geometry().size());
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QTemporaryDir> m_settingsDir;
    TestDialogs* m_dialogs = nullptr;
    std::unique_ptr<FakeOpener> m_opener;
    int m_openerStatus = 3;

private slots:
    void init()
    {
        UseFreshFolders(m_dir, m_settingsDir);
        m_openerStatus = 3;
    }

    void aHugeLayerThicknessNeitherCrashesNorSticks()
    {
        auto form = makeForm();
        m_dialogs->openPath = write(siProject("1E4931"), "huge.kld");
        form->FileOpenClick();
        QCOMPARE(m_dialogs->messages.size(), 1);
        QCOMPARE(m_dialogs->messages[0], "Error on Line 4 Item 2\rA number within the range of the units conversion "
                                         "was expected but not found.");
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QTest::keyClick(form.get(), Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(form->windowTitle(), "KELDOR 2.0 - NewPile");
        QCOMPARE(form->ProgramData().Units, 1);

        // The same value entered in a table window: File New, Open and a drop still work.
        const QString good = write(siProject(), "good.kld");
        for (int way = 0; way < 3; ++way) {
            form->OpenFileName(good, true);
            form->Tables().D().Cells(0, 0)->SetFloat(1E4931L);
            form->SetModified(false);
            m_dialogs->messages.clear();
            if (way == 0)
                form->FileNewClick();
            else if (way == 1)
                form->MyFilePopupHandler(0);
            else
                form->DropFiles({good});
            QVERIFY2(m_dialogs->messages.isEmpty(), qPrintable(m_dialogs->messages.join(" | ")));
            QCOMPARE(form->Tables().D().RowCount(), 1);
            QVERIFY(form->Tables().D().Cells(0, 0)->GetFloat() < 100.0L);
        }
        // A units change refuses it and converts nothing.
        form->Tables().D().Cells(0, 0)->SetFloat(1E4931L);
        form->UnitsClick(1);
        QCOMPARE(m_dialogs->messages, QStringList({"The units were not changed: a value of the project lies beyond "
                                                   "the range of the other units system."}));
        QCOMPARE(form->ProgramData().Units, 2);
        QVERIFY(form->UnitsAction(2)->isChecked());
    }

    void aFileOpenedInTheOtherLayoutIsNotOverwritten()
    {
        auto form = makeForm();
        QByteArray text = siProject();
        text.replace("2\r\n-1.5 0 \r\n1.5 0 \r\n", "6\r\n0 0 \r\n3 0 \r\n6 0 \r\n0 3 \r\n3 3 \r\n6 3 \r\n");
        const QString path = write(text, "six.kld");
        m_dialogs->openPath = path;
        m_dialogs->openFilter = 2; // "Keldor 1.0" left selected
        form->FileOpenClick();
        QCOMPARE(m_dialogs->messages.size(), 1);
        QVERIFY(m_dialogs->messages[0].contains("Keldor 1.0 layout"));
        QVERIFY(!form->FileSaveClick());
        form->CompRunClick();
        QCOMPARE(m_dialogs->saveTitles, QStringList({"Save Six As", "Save Six As"}));
        QCOMPARE(contents(path), text);
    }

    void saveAsIntoAMissingFolderKeepsTheName()
    {
        auto form = makeForm();
        const QString path = write(siProject(), "p.kld");
        form->OpenFileName(path, true);
        form->SetModified(true);
        const QString missing = m_dir->filePath("gone/q.kld");
        m_dialogs->savePaths.push_back(missing);
        QVERIFY(!form->FileSaveAsClick());
        QCOMPARE(m_dialogs->messages.size(), 1);
        QCOMPARE(m_dialogs->messages[0], "The project file " + missing + " could not be saved.\rThe folder "
                                             + m_dir->filePath("gone") + " does not exist.");
        QCOMPARE(form->windowTitle(), "KELDOR 2.0 - P");
        QCOMPARE(form->ProgramData().FileName, path);
        QVERIFY(form->IsModified());
    }

    void aReadOnlyFolderSavesInPlace()
    {
        auto form = makeForm();
        const QString folder = m_dir->filePath("ro");
        const QString path = write(siProject(), "ro/p.kld");
        form->OpenFileName(path, true);
        form->ProgramData().Title = "In place";
        form->SetModified(true);
        ::chmod(QFile::encodeName(m_dir->path()).constData(), 0755);
        ::chmod(QFile::encodeName(path).constData(), 0666);
        ::chmod(QFile::encodeName(folder).constData(), 0555);
        const bool held = AsOrdinaryUser([&] {
            return form->FileSaveClick() && m_dialogs->messages.isEmpty() && contents(path).startsWith("In place\r\n");
        });
        ::chmod(QFile::encodeName(folder).constData(), 0755);
        QVERIFY(held);
    }

    void aRunawayProgramShowsBoundedText()
    {
        auto form = makeForm();
        form->OpenFileName(write(siProject(), "flood.kld"), true);
        form->SetAnalysisProgram(QStringLiteral(FAKE_KDCALC_PATH));
        qputenv("KELDOR_FAKE_MODE", "flood");
        qsizetype widestLabel = 0;
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] {
            if (auto* progress = form->findChild<QProgressDialog*>())
                widestLabel = std::max(widestLabel, progress->labelText().size());
        });
        watch.start(1);
        form->CompRunClick();
        qunsetenv("KELDOR_FAKE_MODE");
        QCOMPARE(m_dialogs->messages.size(), 1);
        QCOMPARE(m_dialogs->texts.size(), 1);
        QVERIFY(m_dialogs->texts[0].endsWith("FAKE: FLOODED"));
        QVERIFY(widestLabel < 1000);
        QVERIFY(!form->PlotDataLoaded());
    }

    void theFailureBoxScrollsItsOutput()
    {
        auto dialogs = MakeStandardDialogs();
        QWidget parent;
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        bool exposed = false;
        QString shown;
        QSize boxSize;
        int textHeight = 0;
        int barHeight = 0;
        bool scrolls = false;
        bool startOfLines = false;
        bool lastLinesInView = false;
        bool dragScrollsRight = false;
        onNextModal([&](QWidget* box) {
            auto* output = box->findChild<QPlainTextEdit*>("OutputText");
            exposed = QTest::qWaitForWindowExposed(box);
            if (output && exposed) {
                shown = output->toPlainText();
                boxSize = box->size();
                textHeight = output->height();
                QScrollBar* across = output->horizontalScrollBar();
                QScrollBar* down = output->verticalScrollBar();
                barHeight = across->height();
                scrolls = across->maximum() > 0 && down->maximum() > 0;
                // Open at the start of the lines with the last ones in view.
                startOfLines = across->value() == across->minimum();
                lastLinesInView = down->value() == down->maximum();
                // The bar's handle dragged to the right scrolls to the right.
                QStyleOptionSlider option;
                option.initFrom(across);
                option.orientation = Qt::Horizontal;
                option.minimum = across->minimum();
                option.maximum = across->maximum();
                option.sliderPosition = across->sliderPosition();
                option.sliderValue = across->value();
                option.pageStep = across->pageStep();
                option.singleStep = across->singleStep();
                const QPoint grip = across->style()
                                        ->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, across)
                                        .center();
                const int before = across->value();
                QTest::mousePress(across, Qt::LeftButton, {}, grip);
                QMouseEvent drag(QEvent::MouseMove, QPointF(grip + QPoint(40, 0)),
                                 across->mapToGlobal(QPointF(grip + QPoint(40, 0))), Qt::LeftButton, Qt::LeftButton,
                                 Qt::NoModifier);
                QApplication::sendEvent(across, &drag);
                QTest::mouseRelease(across, Qt::LeftButton, {}, grip + QPoint(40, 0));
                dragScrollsRight = across->value() > before;
            }
            box->close();
        });
        // Lines wider and more than any screen holds, in any font.
        QStringList lines;
        for (int i = 0; i < 200; ++i)
            lines << QString(1000, u'x') + QString::number(i);
        dialogs->InformWithText(&parent, RunFailedMessage(), lines.join(u'\r'));
        QVERIFY(exposed);
        QCOMPARE(shown, lines.join(u'\n'));
        QVERIFY(scrolls);
        QVERIFY(startOfLines);
        QVERIFY(lastLinesInView);
        QVERIFY(dragScrollsRight);
        // As wide as the room allows, within its height, the text at most
        // 480 px high with the bar across below it.
        const QSize room = roomOver(parent);
        const QString size = QString("box %1 x %2, text %3 high, room %4 x %5")
                                 .arg(boxSize.width())
                                 .arg(boxSize.height())
                                 .arg(textHeight)
                                 .arg(room.width())
                                 .arg(room.height());
        QVERIFY2(boxSize.width() == room.width() && boxSize.height() <= room.height(), qPrintable(size));
        QVERIFY2(textHeight <= 480 + barHeight, qPrintable(size));
    }

    void theFailureBoxShowsItsLongestLineWholeAndGrows_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("whole"); // the longest line fits the screen
        const QString refusal = " INPUT REFUSED: RECORD 10 (FREQUENCIES): NUMBER OF FREQUENCIES = 0 MUST BE FROM 1 TO 100";
        QTest::newRow("a refused run") << QStringList({" KELDOR ANALYSIS", refusal}) << true;
        QStringList many;
        for (int i = 0; i < 40; ++i)
            many << QStringLiteral(" FREQUENCY %1 DONE").arg(i + 1);
        many << refusal;
        QTest::newRow("a refusal after many lines") << many << true;
        QTest::newRow("a line wider than the screen") << QStringList({QString(2000, u'x')}) << false;
    }
    void theFailureBoxShowsItsLongestLineWholeAndGrows()
    {
        QFETCH(QStringList, lines);
        QFETCH(bool, whole);
        auto dialogs = MakeStandardDialogs();
        QWidget parent;
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        const QSize room = roomOver(parent);
        bool exposed = false;
        QSize boxSize;
        QSize textSize;
        int sideways = -1;
        bool grew = false;
        QSize grownBox;
        QSize grownText;
        onNextModal([&](QWidget* box) {
            auto* output = box->findChild<QPlainTextEdit*>("OutputText");
            exposed = QTest::qWaitForWindowExposed(box);
            if (output && exposed) {
                boxSize = box->size();
                textSize = output->size();
                sideways = output->horizontalScrollBar()->maximum();
                // Maximised (the window system sizes it, in its own time), the
                // box gives what it gains to its text.
                box->showMaximized();
                grew = QTest::qWaitFor([&] { return box->size() != boxSize; });
                grownBox = box->size();
                grownText = output->size();
            }
            box->close();
        });
        dialogs->InformWithText(&parent, RunFailedMessage(), lines.join(u'\r'));
        QVERIFY(exposed);
        const QString size = QString("box %1 x %2, room %3 x %4")
                                 .arg(boxSize.width())
                                 .arg(boxSize.height())
                                 .arg(room.width())
                                 .arg(room.height());
        QVERIFY2(boxSize.width() <= room.width() && boxSize.height() <= room.height(), qPrintable(size));
        if (whole)
            QVERIFY2(sideways == 0, qPrintable(size + QString(", scrolls sideways by %1").arg(sideways)));
        else // as wide as the room allows, the rest by scrolling
            QVERIFY2(sideways > 0 && boxSize.width() == room.width(), qPrintable(size));
        const QString growth = QString("box %1 x %2 to %3 x %4, text %5 x %6 to %7 x %8")
                                   .arg(boxSize.width())
                                   .arg(boxSize.height())
                                   .arg(grownBox.width())
                                   .arg(grownBox.height())
                                   .arg(textSize.width())
                                   .arg(textSize.height())
                                   .arg(grownText.width())
                                   .arg(grownText.height());
        QVERIFY2(grew, qPrintable(growth));
        // All the width it gains, and at least the height (its heading may
        // take fewer lines when wider).
        QVERIFY2(grownText.width() - textSize.width() == grownBox.width() - boxSize.width()
                     && grownText.height() - textSize.height() >= grownBox.height() - boxSize.height(),
                 qPrintable(growth));
    }

    void theSaveDialogTakesOnlyAnExistingFolder()
    {
        auto dialogs = MakeStandardDialogs();
        QWidget parent;
        const QString missing = m_dir->filePath("none/p.kld");
        QString refusal;
        bool askedAgain = false;
        onNextModal([&](QWidget* first) {
            auto* dialog = qobject_cast<QFileDialog*>(first);
            QVERIFY(dialog);
            onNextModal([&](QWidget* box) {
                if (auto* message = qobject_cast<QMessageBox*>(box))
                    refusal = message->text();
                onNextModal([&](QWidget* second) {
                    askedAgain = qobject_cast<QFileDialog*>(second) != nullptr;
                    qobject_cast<QDialog*>(second)->reject();
                });
                box->close();
            });
            auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
            QVERIFY(name);
            name->setText(missing);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        QCOMPARE(dialogs->ChooseSaveFile(&parent, "Save NewPile As", "NewPile.kld"), QString());
        QCOMPARE(refusal, "The folder " + m_dir->filePath("none") + " does not exist.");
        QVERIFY(askedAgain);
    }

    void withoutAnEditorTheFileShowsInATextWindow_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        const QByteArray report = "\n COMPUTER PROGRAM KELDOR 2.0\n\n\n   FREQ.(HZ)      REAL         IMAG.\n"
                                  "     1.000   0.12345E+06  -0.54321E+04  \n    10.000   0.23456E+06   0.65432E+05\n";
        QTest::newRow("Edit Output Text: the report") << "Edit &Output Text" << ".klo" << report
                                                      << QString::fromLatin1(report);
        QTest::newRow("Edit Input Text: a project file with CR LF")
            << "Edit I&nput Text" << ".kld" << siProject() << QString::fromLatin1(siProject()).remove(u'\r');
        // UTF-8 as such; a line of the older single-byte code page byte by byte.
        QTest::newRow("Edit Processor-Run Notes: a line that is not UTF-8")
            << "Edit &Processor-Run Notes" << ".klr" << QByteArray("Caf\xc3\xa9 ok\nCaf\xe9 old\n\xff\n")
            << QString::fromUtf8("Caf\u00e9 ok\nCaf\u00e9 old\n\u00ff\n");
    }
    void withoutAnEditorTheFileShowsInATextWindow()
    {
        QFETCH(QString, item);
        QFETCH(QString, extension);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        auto form = makeForm();
        QVERIFY(form->WordProcessor().isEmpty()); // fresh settings
        const QString path = write(bytes, "p" + extension);
        form->ProgramData().FileName = m_dir->filePath("p.kld");
        if (extension != ".kld")
            write(siProject(), "p.kld");
        QAction* command = nullptr;
        emit form->ComputationMenu()->aboutToShow();
        for (QAction* a : form->ComputationMenu()->actions())
            if (a->text() == item)
                command = a;
        QVERIFY(command && command->isEnabled());
        command->trigger();
        // The desktop's opener first; once it has ended with its status, the text window.
        QTRY_VERIFY(frontWindow<TextFileWindow>(*form));
        QCOMPARE(m_opener->Opened(), QStringList({path}));
        QVERIFY2(m_dialogs->messages.isEmpty(), qPrintable(m_dialogs->messages.join(" | ")));
        auto* window = frontWindow<TextFileWindow>(*form);
        QCOMPARE(form->MdiArea()->currentSubWindow()->windowTitle(), "p" + extension);
        QCOMPARE(window->Text->toPlainText(), shown);
        if (extension == ".klo")
            QCOMPARE(window->Text->toPlainText().toUtf8(), bytes); // byte for byte
        QVERIFY(window->Text->isReadOnly());
        QCOMPARE(window->Text->lineWrapMode(), QPlainTextEdit::NoWrap);
        // Fixed pitch: a column of digits lines up under a column of letters.
        const QFontMetrics metrics(window->Text->font());
        QCOMPARE(metrics.horizontalAdvance("iiiiiiii"), metrics.horizontalAdvance("MMMMMMMM"));
    }

    void theTextWindowReloadsAndKeepsItsTextWhenTheFileGoes()
    {
        auto form = makeForm();
        form->SetDesktopOpener(m_dir->filePath("no-such-opener"));
        form->ProgramData().FileName = write(siProject(), "r.kld");
        const QString report = write("first run\n", "r.klo");
        form->CompOutputClick();
        auto* window = frontWindow<TextFileWindow>(*form);
        QVERIFY(window);
        QCOMPARE(window->Text->toPlainText(), "first run\n");

        write("second run\n", "r.klo");
        QTest::mouseClick(window->ReloadButton, Qt::LeftButton);
        QCOMPARE(window->Text->toPlainText(), "second run\n");
        // The same command again: the same window, read again.
        write("third run\n", "r.klo");
        form->CompOutputClick();
        QCOMPARE(form->MdiArea()->subWindowList().size(), 1);
        QCOMPARE(frontWindow<TextFileWindow>(*form), window);
        QCOMPARE(window->Text->toPlainText(), "third run\n");

        // A file that has gone: the message names it, the text shown stays.
        QVERIFY(QFile::remove(report));
        QTest::mouseClick(window->ReloadButton, Qt::LeftButton);
        QCOMPARE(m_dialogs->messages,
                 QStringList({"The file " + report + " could not be read: No such file or directory."}));
        QCOMPARE(window->Text->toPlainText(), "third run\n");
        // Asked for again, it opens no empty window.
        form->CloseAllChildren();
        form->CompOutputClick();
        QCOMPARE(m_dialogs->messages.size(), 2);
        QVERIFY(form->MdiArea()->subWindowList().isEmpty());
    }

    void aDesktopOpenerThatFailsLeavesTheFileToTheTextWindow_data()
    {
        QTest::addColumn<int>("status");
        QTest::newRow("the opener finds no program for the file") << 3;
        QTest::newRow("the program found fails") << 4;
        QTest::newRow("the opener crashes") << int(FakeOpener::Crashes);
        QTest::newRow("no opener at all") << -127;
    }
    void aDesktopOpenerThatFailsLeavesTheFileToTheTextWindow()
    {
        QFETCH(int, status);
        const bool missing = status == -127;
        m_openerStatus = missing ? 0 : status;
        auto form = makeForm();
        if (missing)
            form->SetDesktopOpener(m_dir->filePath("no-such-opener"));
        form->ProgramData().FileName = write(siProject(), "o.kld");
        form->CompInputClick();
        if (missing) // known at once
            QVERIFY(frontWindow<TextFileWindow>(*form));
        QTRY_VERIFY(frontWindow<TextFileWindow>(*form));
        QCOMPARE(frontWindow<TextFileWindow>(*form)->FilePath(), m_dir->filePath("o.kld"));
        QCOMPARE(form->MdiArea()->subWindowList().size(), 1);
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    void aDesktopOpenerThatKeepsRunningLeavesTheTextWindowClosed()
    {
        m_openerStatus = FakeOpener::Holds;
        auto form = makeForm();
        form->ProgramData().FileName = write(siProject(), "o.kld");
        // The command returns while the opener runs (it may be the editor by now).
        form->CompInputClick();
        QTRY_VERIFY(m_opener->Runs());
        QCOMPARE(m_opener->Opened(), QStringList({m_dir->filePath("o.kld")}));
        QVERIFY(form->MdiArea()->subWindowList().isEmpty());
        QVERIFY(m_dialogs->messages.isEmpty());
        // Closing the program leaves it running.
        QVERIFY(form->close());
        form.reset();
        QCoreApplication::processEvents();
        QVERIFY(m_opener->Runs());
    }

    void helpOpensInItsOwnWindow()
    {
        auto form = makeForm();
        const QString page = QDir(QCoreApplication::applicationDirPath()).filePath(HelpWindow::PageName);
        const QString title = QRegularExpression("<title>(.*)</title>").match(QString::fromUtf8(contents(page))).captured(1);
        QVERIFY(!title.isEmpty());
        form->HelpContentsClick();
        QVERIFY2(m_dialogs->messages.isEmpty(), qPrintable(m_dialogs->messages.join(" | ")));
        QVERIFY(m_opener->Opened().isEmpty()); // help never goes to the desktop's opener
        auto* help = frontWindow<HelpWindow>(*form);
        QVERIFY(help);
        QCOMPARE(form->MdiArea()->currentSubWindow()->windowTitle(), title);
        QCOMPARE(help->Browser->documentTitle(), title);
        QCOMPARE(help->Browser->source(), QUrl::fromLocalFile(page));

        // A link within the page, and Back.
        QVERIFY(!help->BackButton->isEnabled());
        help->Browser->setSource(QUrl::fromLocalFile(page).resolved(QUrl("#computation")));
        QVERIFY(help->BackButton->isEnabled());
        QTest::mouseClick(help->BackButton, Qt::LeftButton);
        QCOMPARE(help->Browser->source(), QUrl::fromLocalFile(page));
        QVERIFY(!help->BackButton->isEnabled());

        // Ctrl+F goes to the find field; Enter finds, again the next, round the end.
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        help->Browser->setFocus();
        QTest::keyClick(help->Browser, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(help->FindField->hasFocus());
        QTest::keyClicks(help->FindField, "arrange icons");
        const auto found = [help] { return help->Browser->textCursor().selectionStart(); };
        const qsizetype count = help->Browser->toPlainText().count("arrange icons", Qt::CaseInsensitive);
        QVERIFY(count > 0);
        QList<int> forward;
        for (qsizetype i = 0; i <= count; ++i) {
            QTest::keyClick(help->FindField, Qt::Key_Return);
            QCOMPARE(help->Browser->textCursor().selectedText().toLower(), "arrange icons");
            forward << found();
        }
        QCOMPARE(forward.last(), forward.first()); // round the end to the first again
        QTest::keyClick(help->FindField, Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(found(), forward[forward.size() - 2]); // the one before the first: the last
        help->FindField->setText("no such words in the page");
        QVERIFY(!help->FindNext());
        QCOMPARE(help->FindStatus->text(), "Not found");

        // Once open, Help, Contents brings the same window back, restored.
        form->MdiArea()->currentSubWindow()->showMinimized();
        form->HelpContentsClick();
        QCOMPARE(form->MdiArea()->subWindowList().size(), 1);
        QVERIFY(!form->MdiArea()->currentSubWindow()->isMinimized());
    }

    void aMissingHelpPageNamesWhereItWasLookedFor()
    {
        // Beside the program, then where the installation puts it.
        QCOMPARE(HelpWindow::PageLocations("/opt/k/bin"),
                 QStringList({"/opt/k/bin/KELDORHELP.html", "/opt/k/share/doc/keldor/KELDORHELP.html"}));
        auto form = makeForm();
        const QStringList places = {m_dir->filePath("bin/KELDORHELP.html"),
                                    m_dir->filePath("share/doc/keldor/KELDORHELP.html")};
        form->SetHelpPageLocations(places);
        form->HelpContentsClick();
        QCOMPARE(m_dialogs->messages, QStringList({"The help page KELDORHELP.html was not found. It was looked for "
                                                   "as:\r"
                                                   + places.join(u'\r')}));
        QVERIFY(form->MdiArea()->subWindowList().isEmpty());
        // The installed place alone is enough.
        write("<html><head><title>Installed</title></head><body>x</body></html>", "share/doc/keldor/KELDORHELP.html");
        form->HelpContentsClick();
        QCOMPARE(m_dialogs->messages.size(), 1);
        QVERIFY(form->MdiArea()->currentSubWindow());
        QCOMPARE(form->MdiArea()->currentSubWindow()->windowTitle(), "Installed");
    }

    void controlOptionsSayWhatAnEmptyEditorMeans()
    {
        auto form = makeForm();
        form->ShowChild(ChildKind::ControlOptions);
        auto* options = frontWindow<TDlgOptions>(*form);
        QVERIFY(options);
        QVERIFY(options->EdtWord->text().isEmpty());
        QVERIFY2(options->EdtWord->placeholderText().contains("desktop's opener")
                     && options->EdtWord->placeholderText().contains("text window"),
                 qPrintable(options->EdtWord->placeholderText()));
    }
};

QTEST_MAIN(MainWindowFaultsTest)
#include "MainWindowFaultsTest.moc"
