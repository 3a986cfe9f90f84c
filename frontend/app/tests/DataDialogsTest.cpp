#include "AppTestSupport.h"
#include "DialogTestSupport.h"
#include "LineEditView.h"

#include "About.h"
#include "DataUnit.h"
#include "EditorCommand.h"
#include "Evaluator.h"
#include "NumberText.h"
#include "Options.h"
#include "Table.h"
#include "SoilParams.h"
#include "Title.h"
#include "cPileProperties.h"
#include "ncPileProperties.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QAbstractProxyModel>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QRegularExpression>
#include <QMenuBar>
#include <QActionGroup>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

namespace {

// A project in SI units with the given pile record and pile length.
const char* const kPileRecord = "30000000 0.0063617251 0.28274334 0.25 0.3 2.5 0.01";

QByteArray project(const char* pileRecord = kPileRecord,
                   const char* length = "12", const char* title = "Two layers")
{
    return QByteArray(title) + "\r\n2 \r\n2\r\n4 6 150 0.4 1.8 0.05\r\n5 10 250 0.35 1.9 0.03\r\n" + pileRecord
           + "\r\n" + length + "\r\n1\r\n0 0 \r\n200 500 200000 0.05\r\n4 1 3\r\n";
}

const QString kPileProperties = QStringLiteral("&Pile Properties");
const QString kFrequencyData = QStringLiteral("&Frequency Data");
const QString kSuperstructure = QStringLiteral("Superstructure Properties");
const QString kTitle = QStringLiteral("&Title");
const QString kOptions = QStringLiteral("Control &Options...");

} // namespace

class DataDialogsTest : public QObject {
    Q_OBJECT

private:
    QString write(const QByteArray& text, const QString& name)
    {
        const QString path = m_dir->filePath(name);
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(text);
        return path;
    }

    std::unique_ptr<TMainForm> makeForm(const QStringList& arguments = {})
    {
        return MakeShownForm(m_user, arguments);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QTemporaryDir> m_settingsDir;
    ScriptedUser* m_user = nullptr;

private slots:
    void init()
    {
        UseFreshFolders(m_dir, m_settingsDir);
        TDlgOptions::SetBrowser(nullptr);
    }

    void everyDataItemOpensItsWindowOnce_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("pile") << kPileProperties << "Pile Properties"
                              << QStringList{"&Radius of the pile   (in)", "&Cross section area of pile  (in²)",
                                             "Moment of inertia of the pile (in^4)",
                                             "Mass density of the pile (lb-sec2/in/in^3)", "Poisson's ratio of the pile",
                                             "Damping ratio of the pile", "&Elastic modulus of the pile  (lbs/in²)",
                                             "Pile Length (in)"};
        QTest::newRow("superstructure") << kSuperstructure << "Superstructure Properties"
                                        << QStringList{"Mass of basemat (lb-sec2/in)",
                                                       "Mass of superstructure (lb-sec2/in)",
                                                       "Horizontal spring value (lbs/in)", "Daming ratio of the structure"};
        QTest::newRow("frequencies") << kFrequencyData << "Frequency Data"
                                     << QStringList{"Number of frequencies", "Initial frequencies of analysis (Hz)",
                                                    "Increment frequencies of analysis (Hz)"};
        QTest::newRow("title") << kTitle << "Project Title" << QStringList{"Enter text line for project description:"};
        QTest::newRow("options") << kOptions << "Control Options" << QStringList{"&Text Editor:"};
    }
    // On a new project every number field shows 0, and opening a window
    // leaves the project unmodified.
    void everyDataItemOpensItsWindowOnce()
    {
        QFETCH(QString, item);
        QFETCH(QString, caption);
        QFETCH(QStringList, labels);
        auto form = makeForm();
        ChooseDataItem(*form, item);
        ChooseDataItem(*form, item);
        QCOMPARE(form->MdiArea()->subWindowList().size(), 1);
        QMdiSubWindow* sub = form->MdiArea()->currentSubWindow();
        QVERIFY(sub);
        QCOMPARE(sub->windowTitle(), caption);
        QVERIFY(!(sub->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(sub->windowFlags() & Qt::WindowMinimizeButtonHint);
        QCOMPARE(sub->minimumSize(), sub->maximumSize()); // not resizable
        QStringList shown;
        for (QLabel* l : sub->widget()->findChildren<QLabel*>())
            shown << l->text();
        QCOMPARE(shown, labels);
        for (TDataEdit* f : sub->widget()->findChildren<TDataEdit*>())
            QCOMPARE(f->text(), "0");
        QVERIFY(!form->IsModified());
        sub->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(form->MdiArea()->subWindowList().isEmpty());
        ChooseDataItem(*form, item); // the open flag was cleared: a new window
        QCOMPARE(form->MdiArea()->subWindowList().size(), 1);
        QVERIFY(m_user->Messages.isEmpty());
    }

    // Loading a value that differs from the field's first text is an edit.
    void loadingADifferentValueMarksTheProjectModified()
    {
        auto form = makeForm({write(project("30000000 0.0063617251 0.28274334 0.25 0.5 2.5 0.01"), "r.kld")});
        QVERIFY(!form->IsModified());
        ChooseDataItem(*form, kPileProperties);
        auto* dialog = ActiveChild<TfrmCPileProperties>(*form);
        QVERIFY(dialog);
        QCOMPARE(dialog->DataEdit1->text(), "0.5");
        QCOMPARE(dialog->DataEdit8->text(), "12");
        QCOMPARE(dialog->DataEdit1->EditLabel()->text(), "&Radius of the pile   (m)");
        QVERIFY(form->IsModified());
    }

    // Switching to another child window stores the evaluated expression.
    void switchingWindowsStoresTheEntry()
    {
        auto form = makeForm();
        ChooseDataItem(*form, kPileProperties);
        auto* pile = ActiveChild<TfrmCPileProperties>(*form);
        QVERIFY(pile);
        TypeInto(pile->DataEdit8, "12*2");
        QVERIFY(form->IsModified());
        QCOMPARE(form->ProgramData().PileLength, 0.0L); // not before the window is left
        ChooseDataItem(*form, kFrequencyData);
        QCOMPARE(form->ProgramData().PileLength, 24.0L);
        QCOMPARE(pile->DataEdit8->text(), "24");

        // Back and forth by the mouse: the frequency step goes in the same way.
        auto* frequencies = ActiveChild<TfrmSoilParams>(*form);
        QVERIFY(frequencies);
        TypeInto(frequencies->DataEdit3, "1/4");
        QMdiSubWindow* pileFrame = qobject_cast<QMdiSubWindow*>(pile->parentWidget());
        QTest::mouseClick(pile->DataEdit1, Qt::LeftButton);
        QCoreApplication::processEvents();
        QCOMPARE(form->MdiArea()->currentSubWindow(), pileFrame);
        QCOMPARE(form->ProgramData().FrequencyIncrement, 0.25L);
        QVERIFY(m_user->Messages.isEmpty());
    }

    void refusedEntries_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("length above the maximum") << kPileProperties << 7 << "3e9"
                                                  << "Entry must be less than or equal to 2147483647" << "2147483647";
        QTest::newRow("length below the minimum") << kPileProperties << 7 << "-2147483649"
                                                  << "Entry must be greater than or equal to -2147483648"
                                                  << "-2147483648";
        QTest::newRow("count not an integer") << kFrequencyData << 0 << "2.5" << "Entry must be an integer." << "2.5";
        QTest::newRow("count not a number") << kFrequencyData << 0 << "abc" << "Entry must be a valid integer." << "abc";
        QTest::newRow("radius not a number") << kPileProperties << 0 << "1+" << "" << "1+";
        QTest::newRow("density divided by zero") << kPileProperties << 3 << "1/0" << "" << "1/0";
        QTest::newRow("mass not a number") << kSuperstructure << 1 << "two" << "" << "two";
    }
    // A refused entry keeps the dialog in front, stores nothing, and its
    // message is shown once for each way the dialog was left.
    void refusedEntries()
    {
        QFETCH(QString, item);
        QFETCH(int, field);
        QFETCH(QString, entry);
        QFETCH(QString, message);
        QFETCH(QString, shown);
        auto form = makeForm();
        ChooseDataItem(*form, kTitle);
        QMdiSubWindow* other = form->MdiArea()->currentSubWindow();
        ChooseDataItem(*form, item);
        auto* dialog = ActiveChild<NumberDialog>(*form);
        QVERIFY(dialog);
        QMdiSubWindow* frame = form->MdiArea()->currentSubWindow();
        TDataEdit* edit = dialog->Fields().at(size_t(field));
        TypeInto(edit, entry);
        const QByteArray before = form->ProgramData().FileText(form->Tables());

        // Leaving for another window (as the Window menu does).
        form->MdiArea()->setActiveSubWindow(other);
        QTRY_COMPARE(form->MdiArea()->currentSubWindow(), frame);
        QCOMPARE(m_user->Messages.size(), 1);
        if (!message.isEmpty())
            QCOMPARE(m_user->Messages.first(), message);
        QCOMPARE(edit->text(), shown);
        QCOMPARE(dialog->focusWidget(), edit);
        QCOMPARE(form->ProgramData().FileText(form->Tables()), before);

        // Closing it (a later action): refused while the entry stands, with
        // the message once more; a bound put in its place is accepted now.
        QCoreApplication::processEvents();
        frame->close();
        QCoreApplication::processEvents();
        const qsizetype messages = shown == entry ? 2 : 1;
        if (shown == entry) {
            QVERIFY(frame->isVisible());
            QCOMPARE(m_user->Messages.size(), 2);
            QCOMPARE(m_user->Messages.last(), m_user->Messages.first());
            QCOMPARE(form->ProgramData().FileText(form->Tables()), before);
            TypeInto(edit, "7");
            frame->close();
            QCoreApplication::processEvents();
        }
        QVERIFY(form->MdiArea()->subWindowList().size() == 1); // the title window is left
        QCOMPARE(m_user->Messages.size(), messages);
        const Extended stored = shown == entry ? 7.0L : Evaluate(shown);
        if (item == kPileProperties && field == 7)
            QCOMPARE(form->ProgramData().PileLength, stored);
        else if (item == kFrequencyData)
            QCOMPARE(form->ProgramData().FrequencyCount, 7);
        else if (item == kPileProperties && field == 0)
            QCOMPARE(form->ProgramData().PileRadius, 7.0L);
        else if (item == kPileProperties && field == 3)
            QCOMPARE(form->ProgramData().PileDensity, 7.0L);
        else
            QCOMPARE(form->ProgramData().SuperstructureMass, 7.0L);
    }

    void aKeyThatMovesTheFocusChecksTheEntry_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        const int none = Qt::NoModifier;
        const QString maximum = "Entry must be less than or equal to 2147483647";
        const QString invalid = evaluationMessage("invalid character(s) in expression");
        const QString zero = evaluationMessage("division by zero");
        const int tab = Qt::Key_Tab;
        const int backtab = Qt::Key_Backtab;
        const int shift = Qt::ShiftModifier;
        QTest::newRow("Tab from the last field, not a number") << 7 << tab << none << "abc" << invalid << "abc";
        QTest::newRow("Tab from the last field, above the maximum")
            << 7 << tab << none << "1e10" << maximum << "2147483647";
        QTest::newRow("Tab from the last field, divided by zero") << 7 << tab << none << "1/0" << zero << "1/0";
        QTest::newRow("Shift+Tab from the first field") << 0 << backtab << shift << "abc" << invalid << "abc";
        QTest::newRow("Tab within the fields") << 3 << tab << none << "1/0" << zero << "1/0";
        QTest::newRow("Shift+Tab within the fields") << 7 << backtab << shift << "abc" << invalid << "abc";
        QTest::newRow("the key of another field's label")
            << 7 << int(Qt::Key_R) << int(Qt::AltModifier) << "abc" << invalid << "abc";
    }
    // A focus move by a key checks the entry as a click on another field
    // does: one message, the focus stays in the field, nothing stored.
    void aKeyThatMovesTheFocusChecksTheEntry()
    {
        QFETCH(int, field);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, entry);
        QFETCH(QString, message);
        QFETCH(QString, shown);
        auto form = makeForm({write(project(), "keys.kld")});
        ChooseDataItem(*form, kPileProperties);
        auto* dialog = ActiveChild<NumberDialog>(*form);
        QVERIFY(dialog);
        QMdiSubWindow* frame = form->MdiArea()->currentSubWindow();
        TDataEdit* edit = dialog->Fields().at(size_t(field));
        TypeInto(edit, entry);
        const TProgramData before = form->ProgramData();
        QTest::keyClick(edit, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCoreApplication::processEvents();
        QCOMPARE(m_user->Messages, QStringList{message});
        QCOMPARE(form->MdiArea()->currentSubWindow(), frame);
        QCOMPARE(QApplication::focusWidget(), edit);
        QCOMPARE(edit->text(), shown);
        QCOMPARE(form->ProgramData().PileLength, before.PileLength);
        QCOMPARE(form->ProgramData().PileRadius, before.PileRadius);

        // Corrected, the same key moves on.
        TypeInto(edit, "7");
        QTest::keyClick(edit, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(m_user->Messages.size(), 1);
        QVERIFY(QApplication::focusWidget() != edit);
        QVERIFY(dialog->isAncestorOf(QApplication::focusWidget()));
    }

    // The main window commits the active dialog before a menu, Save, Run and
    // New: an invalid entry is refused there too, and a valid one is saved.
    void theMainWindowCommitsTheActiveDialog()
    {
        const QString path = write(project(), "p.kld");
        auto form = makeForm({path});
        ChooseDataItem(*form, kFrequencyData);
        auto* dialog = ActiveChild<TfrmSoilParams>(*form);
        QVERIFY(dialog);
        TypeInto(dialog->DataEdit1, "2.5");
        QTest::keyClick(dialog->DataEdit1, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(m_user->Messages, QStringList{"Entry must be an integer."});
        QCOMPARE(form->ProgramData().FrequencyCount, 4);
        QVERIFY(ReadFile(path).endsWith("4 1 3\r\n"));

        // Enter checks the field without a line break or a default button;
        // Ctrl+S then saves what the field shows.
        TypeInto(dialog->DataEdit1, "2*3");
        QTest::keyClick(dialog->DataEdit1, Qt::Key_Return);
        QCOMPARE(dialog->DataEdit1->text(), "6");
        QCOMPARE(form->ProgramData().FrequencyCount, 4);
        QTest::keyClick(dialog->DataEdit1, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(form->ProgramData().FrequencyCount, 6);
        QVERIFY(ReadFile(path).endsWith("6 1 3\r\n"));
        QVERIFY(!form->IsModified());

        // File New after an edit: the edit is committed before the question.
        TypeInto(dialog->DataEdit2, "2");
        m_user->Answer = UserDialogs::Reply::Yes;
        QTest::keyClick(dialog->DataEdit2, Qt::Key_N, Qt::ControlModifier);
        QVERIFY(ReadFile(path).endsWith("6 2 3\r\n"));
        QCOMPARE(form->ProgramData().FileName, DefaultProjectFileName());
        QVERIFY(form->MdiArea()->subWindowList().isEmpty());
        QCOMPARE(m_user->Messages.size(), 1);
    }

    // A refused length is not saved, and not as the bound the field put in
    // its place either: the key that commits it (Ctrl+S, Ctrl+N) stops, so
    // nothing is saved and the project is not discarded. Leaving the window
    // in a later action takes the bound.
    void aRefusedEntryIsNotSavedByTheSameKey()
    {
        const QString path = write(project(), "bound.kld");
        auto form = makeForm({path});
        ChooseDataItem(*form, kPileProperties);
        auto* pile = ActiveChild<TfrmCPileProperties>(*form);
        QVERIFY(pile);
        TypeInto(pile->DataEdit8, "3e9");
        QTest::keyClick(pile->DataEdit8, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(m_user->Messages, QStringList{"Entry must be less than or equal to 2147483647"});
        QCOMPARE(pile->DataEdit8->text(), "2147483647");
        QCOMPARE(form->ProgramData().PileLength, 12.0L);
        QVERIFY(ReadFile(path).contains("\r\n12\r\n"));
        QCoreApplication::processEvents();
        ChooseDataItem(*form, kFrequencyData);
        QCOMPARE(form->ProgramData().PileLength, 2147483647.0L);
        QCOMPARE(m_user->Messages.size(), 1);

        ChooseDataItem(*form, kPileProperties);
        TypeInto(pile->DataEdit8, "-3e9");
        m_user->Answer = UserDialogs::Reply::Yes;
        QTest::keyClick(pile->DataEdit8, Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(m_user->Messages.size(), 2);
        QCOMPARE(m_user->Messages.last(), "Entry must be greater than or equal to -2147483648");
        // New stopped: nothing saved, nothing discarded, the entry still shown.
        QVERIFY(ReadFile(path).contains("\r\n12\r\n"));
        QCOMPARE(form->ProgramData().PileLength, 2147483647.0L);
        QCOMPARE(form->ProgramData().FileName, path);
        QCOMPARE(ActiveChild<TfrmCPileProperties>(*form), pile);
        QCOMPARE(pile->DataEdit8->text(), "-2147483648");
    }

    // A value beyond a field's limit in the file shows clamped and goes back
    // clamped when the dialog is left.
    void aClampedValueFromAFileIsStoredBack()
    {
        auto form = makeForm({write(project(kPileRecord, "5e9"), "long.kld")});
        QCOMPARE(form->ProgramData().PileLength, 5e9L);
        ChooseDataItem(*form, kPileProperties);
        auto* dialog = ActiveChild<TfrmCPileProperties>(*form);
        QVERIFY(dialog);
        QCOMPARE(dialog->DataEdit8->text(), "2147483647");
        form->CommitActiveChild();
        QCOMPARE(form->ProgramData().PileLength, 2147483647.0L);
        QVERIFY(m_user->Messages.isEmpty());
    }

    // Every field of every number dialog marks the project modified when
    // its text changes.
    void everyEditMarksTheProjectModified()
    {
        auto form = makeForm();
        for (const QString& item : {kPileProperties, kSuperstructure, kFrequencyData}) {
            ChooseDataItem(*form, item);
            auto* dialog = ActiveChild<NumberDialog>(*form);
            QVERIFY(dialog);
            int i = 0;
            for (TDataEdit* field : dialog->Fields()) {
                form->SetModified(false);
                QTest::keyClick(field, Qt::Key_1);
                QVERIFY2(form->IsModified(), qPrintable(item + QString::number(i++)));
            }
        }
    }

    void theTitleIsOneLine()
    {
        const QString path = write(project(), "t.kld");
        auto form = makeForm({path});
        ChooseDataItem(*form, kTitle);
        auto* dialog = ActiveChild<TdlgTitle>(*form);
        QVERIFY(dialog);
        SingleLineMemo* memo = dialog->TitleMemo;
        QCOMPARE(memo->toPlainText(), "Two layers");

        // The same title is no edit.
        form->CommitActiveChild();
        QVERIFY(!form->IsModified());

        // Enter adds no line; typing stops at 80 characters.
        memo->setFocus();
        memo->moveCursor(QTextCursor::End);
        QTest::keyClick(memo, Qt::Key_Return);
        QTest::keyClick(memo, Qt::Key_Enter, Qt::ShiftModifier);
        QCOMPARE(memo->toPlainText(), "Two layers");
        QTest::keyClicks(memo, QString(75, u'x'));
        QCOMPARE(memo->toPlainText(), "Two layers" + QString(70, u'x'));
        form->CommitActiveChild();
        QVERIFY(form->IsModified());
        QCOMPARE(form->ProgramData().Title, "Two layers" + QString(70, u'x'));

        // A pasted text with line breaks and a tab: blanks, cut at the room left.
        memo->selectAll();
        QApplication::clipboard()->setText("First line\r\nsecond\tline\nthird");
        QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(memo->toPlainText(), "First line  second line third");
        memo->moveCursor(QTextCursor::End);
        QApplication::clipboard()->setText(QString(60, u'y') + "\n" + QString(10, u'z'));
        QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(memo->toPlainText(), "First line  second line third" + QString(51, u'y'));
        // A letter outside the basic plane counts once and is never halved.
        memo->selectAll();
        QApplication::clipboard()->setText(QString(79, u'a') + QString::fromUtf8("\xF0\x9F\x98\x80\xF0\x9F\x98\x80"));
        QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(memo->toPlainText(), QString(79, u'a') + QString::fromUtf8("\xF0\x9F\x98\x80"));

        // Whatever gets past the keys (an input method, a drop) is made one line.
        memo->selectAll();
        memo->insertPlainText("one\ntwo");
        QCOMPARE(memo->toPlainText(), "one two");

        // Saved, the title is the first record and the rest reads back.
        memo->selectAll();
        QApplication::clipboard()->setText("Pasted\ntitle");
        QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);
        QVERIFY(form->FileSaveClick());
        const QList<QByteArray> lines = ReadFile(path).split('\n');
        QCOMPARE(lines.first(), "Pasted title\r");
        QCOMPARE(lines.size(), ReadFile(write(project(), "fresh.kld")).split('\n').size());
        form->FileNewClick();
        m_user->OpenPath = path;
        form->FileOpenClick();
        QCOMPARE(form->ProgramData().Title, "Pasted title");
        QCOMPARE(form->ProgramData().FrequencyCount, 4);
        QVERIFY(m_user->Messages.isEmpty());
    }

    void aTitleLeftUneditedStaysAsRead_data()
    {
        QTest::addColumn<QByteArray>("title");
        QTest::addColumn<QString>("shown");
        QTest::newRow("tab") << QByteArray("Two\tlayers") << "Two layers";
        QTest::newRow("control character") << QByteArray("Two\x01layers") << "Two layers";
        QTest::newRow("tab at the end") << QByteArray("Two layers\t") << "Two layers ";
    }
    // A title with a character the memo shows as a blank is no edit when
    // the dialog is left or closed unedited; an edit stores the blanks.
    void aTitleLeftUneditedStaysAsRead()
    {
        QFETCH(QByteArray, title);
        QFETCH(QString, shown);
        auto form = makeForm({write(project(kPileRecord, "12", title.constData()), "tab.kld")});
        QVERIFY(!form->IsModified());
        ChooseDataItem(*form, kTitle);
        auto* dialog = ActiveChild<TdlgTitle>(*form);
        QVERIFY(dialog);
        QCOMPARE(dialog->TitleMemo->toPlainText(), shown);
        ChooseDataItem(*form, kOptions); // leaves the title window
        ChooseDataItem(*form, kTitle);
        QCOMPARE(ActiveChild<TdlgTitle>(*form), dialog);
        form->CommitActiveChild();
        form->MdiArea()->currentSubWindow()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(form->ProgramData().Title, QString::fromLatin1(title));
        QVERIFY(!form->IsModified());

        ChooseDataItem(*form, kTitle);
        dialog = ActiveChild<TdlgTitle>(*form);
        QVERIFY(dialog);
        dialog->TitleMemo->setFocus();
        dialog->TitleMemo->moveCursor(QTextCursor::End);
        QTest::keyClicks(dialog->TitleMemo, "!");
        form->CommitActiveChild();
        QCOMPARE(form->ProgramData().Title, shown + "!");
        QVERIFY(form->IsModified());
        QVERIFY(m_user->Messages.isEmpty());
    }

    // A longer title read from a file is shown whole and never cut by the
    // dialog; it takes no more characters, and opening it is no edit.
    void aLongTitleFromAFileStaysWhole()
    {
        const QByteArray longTitle(90, 'L');
        auto form = makeForm({write(project(kPileRecord, "12", longTitle.constData()), "long.kld")});
        ChooseDataItem(*form, kTitle);
        auto* dialog = ActiveChild<TdlgTitle>(*form);
        QVERIFY(dialog);
        SingleLineMemo* memo = dialog->TitleMemo;
        QCOMPARE(memo->toPlainText(), QString(longTitle));
        memo->setFocus();
        memo->moveCursor(QTextCursor::End);
        QTest::keyClicks(memo, "xy");
        QApplication::clipboard()->setText("pasted");
        QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(memo->toPlainText(), QString(longTitle));
        form->CommitActiveChild();
        QVERIFY(!form->IsModified());
        // It can be shortened; typing takes characters again below 80.
        QTest::keyClick(memo, Qt::Key_Backspace);
        QTest::keyClicks(memo, "z");
        QCOMPARE(memo->toPlainText(), QString(longTitle.left(89)));
        memo->selectAll();
        QTest::keyClicks(memo, "short");
        QCOMPARE(memo->toPlainText(), "short");
    }

    // A title set in the model with a line break (any way other than the
    // dialog) still writes one record.
    void theProjectFileTitleIsOneRecord()
    {
        const struct {
            const char* title;
            const char* line;
        } cases[] = {
            {"plain", "plain"},
            {"a\r\nb", "a  b"},
            {"a\rb\nc\td", "a b c d"},
            {"par\xE2\x80\xA9sep\xE2\x80\xA8" "end\xC2\x85!", "par sep end !"},
        };
        for (const auto& c : cases) {
            QCOMPARE(SingleLineTitle(QString::fromUtf8(c.title)), QString::fromUtf8(c.line));
        }
        ProjectTables tables;
        auto data = TProgramData::Create(tables);
        data->Title = "one\ntwo";
        QVERIFY(data->FileText(tables).startsWith("one two\r\n1 \r\n"));
    }

    // A units change with dialogs open reloads them: new unit names, converted numbers.
    void aUnitsChangeReloadsTheOpenDialogs()
    {
        auto form = makeForm({write(project(), "u.kld")});
        ChooseDataItem(*form, kSuperstructure);
        auto* structure = ActiveChild<TfrmNCPileProperties>(*form);
        ChooseDataItem(*form, kPileProperties);
        auto* pile = ActiveChild<TfrmCPileProperties>(*form);
        QVERIFY(pile && structure);
        TypeInto(pile->DataEdit8, "10"); // committed when the Data menu opens
        emit form->DataMenu()->aboutToShow();
        form->UnitsAction(1)->trigger();
        QCOMPARE(form->ProgramData().Units, 1);
        QCOMPARE(pile->DataEdit8->EditLabel()->text(), "Pile Length (in)");
        QCOMPARE(pile->DataEdit4->EditLabel()->text(), "Mass density of the pile (lb-sec2/in/in^3)");
        QCOMPARE(structure->DataEdit3->EditLabel()->text(), "Horizontal spring value (lbs/in)");
        const TProgramData& d = form->ProgramData();
        QVERIFY(qAbs(double(d.PileLength) - 393.7007874) < 1e-9); // 10 m at 39.37007874 in/m
        for (const auto& [field, value] : {std::pair{pile->DataEdit8, d.PileLength}, {pile->DataEdit7, d.PileModulus},
                                           {structure->DataEdit1, d.BasematMass}, {structure->DataEdit3, d.HorizontalSpring}})
            QCOMPARE(field->text(), DataEditModel::FormatNumber(false, value));
        QCOMPARE(structure->DataEdit4->text(), "0.05");
        QVERIFY(m_user->Messages.isEmpty());
    }

    // In English units the pile's mass density is 0.000233931414106785177
    // lb-sec2/in/in^3, longer than its field: the field shows its start, so
    // that the "0." is in view, and so does every other field, as opened and
    // as reloaded in other units.
    void everyFieldShowsItsValueFromTheStart()
    {
        auto form = makeForm({write(project(), "d.kld")});
        ChooseDataItem(*form, kPileProperties);
        auto* pile = ActiveChild<TfrmCPileProperties>(*form);
        QVERIFY(pile);
        const auto fromTheStart = [&](const char* when) {
            for (TDataEdit* field : pile->Fields())
                QVERIFY2(FirstShownPosition(field) == 0, qPrintable(field->EditLabel()->text() + " " + when));
        };
        fromTheStart("in SI units");
        emit form->DataMenu()->aboutToShow();
        form->UnitsAction(1)->trigger();
        QCOMPARE(pile->DataEdit4->text(), "0.000233931414106785177");
        QVERIFY(Overflows(pile->DataEdit4));
        fromTheStart("reloaded in English units");

        QVERIFY(pile->parentWidget()->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ChooseDataItem(*form, kPileProperties);
        pile = ActiveChild<TfrmCPileProperties>(*form);
        QVERIFY(pile);
        fromTheStart("opened in English units");
        QVERIFY(m_user->Messages.isEmpty());
    }

    void controlOptionsEditTheTextEditor()
    {
        QString presetSeen;
        TDlgOptions::SetBrowser([&](QWidget*, const QString& current) {
            presetSeen = current;
            return QStringLiteral("/opt/editor/bin/edit");
        });
        {
            QDir().mkpath(m_settingsDir->filePath("Varnoth"));
            QSettings raw(m_settingsDir->filePath("Varnoth/KELDOR.ini"), QSettings::IniFormat);
            raw.setValue("2.0/Word Processor", "/usr/bin/vi");
        }
        auto form = makeForm();
        ChooseDataItem(*form, kOptions);
        auto* options = ActiveChild<TDlgOptions>(*form);
        QVERIFY(options);
        QCOMPARE(options->EdtWord->text(), "/usr/bin/vi");
        QTest::mouseClick(options->BrowseButton, Qt::LeftButton);
        QCOMPARE(presetSeen, "/usr/bin/vi");
        QCOMPARE(options->EdtWord->text(), "/opt/editor/bin/edit");
        TDlgOptions::SetBrowser([](QWidget*, const QString&) { return QString(); }); // cancelled
        QTest::mouseClick(options->BrowseButton, Qt::LeftButton);
        QCOMPARE(options->EdtWord->text(), "/opt/editor/bin/edit");
        ChooseDataItem(*form, kTitle);
        QCOMPARE(form->WordProcessor(), "/opt/editor/bin/edit");
        QVERIFY(!form->IsModified());

        // Emptied, stored unchecked; the next start takes the desktop's opener.
        ChooseDataItem(*form, kOptions);
        options->EdtWord->clear();
        form->close();
        QVERIFY(!form->isVisible());
        form.reset();
        auto next = makeForm();
        QCOMPARE(next->WordProcessor(), QString());
        QCOMPARE(EditorCommandFor(next->WordProcessor(), "a.klo").Program, "xdg-open");
    }

    void theBrowserListsPrograms()
    {
        const QString program = write("#!/bin/sh\n", "tool");
        QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString text = write("text", "notes.txt");
        QVERIFY(TDlgOptions::IsProgram(QFileInfo(program)));
        QVERIFY(!TDlgOptions::IsProgram(QFileInfo(text)));
        QVERIFY(!TDlgOptions::IsProgram(QFileInfo(m_dir->path())));
        QDir().mkpath(m_dir->filePath("folder"));

        // The real file dialog: preset with the current path, Programs lists
        // folders and executable files only, All Files everything.
        QStringList programs, all, filters;
        QString chosen;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            filters = dialog->nameFilters();
            QCOMPARE(dialog->fileMode(), QFileDialog::ExistingFile);
            QCOMPARE(QDir(dialog->directory()).canonicalPath(), QDir(m_dir->path()).canonicalPath());
            const auto listed = [dialog] {
                QStringList names;
                QAbstractItemModel* model = dialog->proxyModel();
                auto* files = qobject_cast<QFileSystemModel*>(dialog->proxyModel()->sourceModel());
                const QModelIndex root = dialog->proxyModel()->mapFromSource(files->index(dialog->directory().path()));
                for (int r = 0; r < model->rowCount(root); ++r)
                    names << model->index(r, 0, root).data().toString();
                names.sort();
                return names;
            };
            QTRY_COMPARE(listed(), QStringList({"folder", "tool"}));
            programs = listed();
            dialog->selectNameFilter(filters.value(1));
            emit dialog->filterSelected(filters.value(1));
            QTRY_COMPARE(listed().size(), 3);
            all = listed();
            dialog->selectFile("tool");
            QMetaObject::invokeMethod(dialog, "accept");
        });
        chosen = TDlgOptions::BrowseForProgram(nullptr, program);
        QCOMPARE(filters, QStringList({"Programs (*)", "All Files (*)"}));
        QCOMPARE(programs, QStringList({"folder", "tool"}));
        QCOMPARE(all, QStringList({"folder", "notes.txt", "tool"}));
        QCOMPARE(QFileInfo(chosen).canonicalFilePath(), QFileInfo(program).canonicalFilePath());
    }

    // The help page beside the program names every menu item, every field
    // of the dialogs and every table column as the program shows them.
    void theHelpPageCoversTheProgram()
    {
        const QString path = QDir(QCoreApplication::applicationDirPath()).filePath("KELDORHELP.html");
        QVERIFY2(QFileInfo(path).isFile(), qPrintable(path));
        QString page = QString::fromUtf8(ReadFile(path));
        page.replace(QRegularExpression("\\s+"), " ");
        const auto plain = [](QString text) { return text.remove(u'&').simplified(); };

        auto form = makeForm();
        QStringList wanted;
        for (QAction* menu : form->menuBar()->actions())
            for (QAction* item : menu->menu()->actions())
                if (!item->isSeparator() && item->isVisible() && !item->text().isEmpty())
                    wanted << plain(item->text());
        for (QAction* units : form->UnitsAction(1)->actionGroup()->actions())
            wanted << plain(units->text());
        for (const QString& item : {kPileProperties, kSuperstructure, kFrequencyData}) {
            ChooseDataItem(*form, item);
            for (TDataEdit* field : ActiveChild<NumberDialog>(*form)->Fields())
                wanted << plain(field->Model().Caption());
        }
        for (TGridTable* table : form->Tables().All()) {
            wanted << table->Caption;
            for (int c = 0; c < table->ColumnCount(); ++c)
                wanted << plain(table->Columns(c)->Captions().join(QString()));
        }
        wanted << ".klo" << ".klr" << ".klp" << "Text Editor" << "Browse...";
        wanted.removeDuplicates();
        QStringList missing;
        for (const QString& w : wanted)
            if (!page.contains(w.toHtmlEscaped().replace("'", "'")))
                missing << w;
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(" | ")));
    }

    void theAboutBoxShowsTheProgram()
    {
        auto form = makeForm();
        QStringList texts;
        bool centred = false;
        QTimer::singleShot(0, form.get(), [&] {
            auto* box = qobject_cast<TAboutBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            texts << box->windowTitle() << box->ProductName->text() << box->Version->text() << box->Comments->text();
            QVERIFY(box->ProductName->font().bold());
            QVERIFY(box->OKButton->isDefault());
            QVERIFY(!box->ProgramIcon->pixmap().isNull());
            const QPoint middle = box->frameGeometry().center();
            // Within the window frame's few pixels, unknown before the first show.
            centred = (middle - QGuiApplication::primaryScreen()->availableGeometry().center()).manhattanLength() <= 10;
            QTest::keyClick(box, Qt::Key_Return); // the default button
        });
        form->HelpAboutClick();
        QCOMPARE(texts, QStringList({"About KELDOR", "KELDOR", "Version 2.0",
                                     "A program for the Analysis of a pile or drilled shaft under dynamic loading."}));
        QVERIFY(centred);
        QVERIFY(!QApplication::activeModalWidget());
    }
};

QTEST_MAIN(DataDialogsTest)
#include "DataDialogsTest.moc"
