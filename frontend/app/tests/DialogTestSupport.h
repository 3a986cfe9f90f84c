#pragma once

// What the tests of the data dialogs share: a main window whose questions are
// answered from a script, and ways to reach its dialogs through its menus.

#include "DataEdit.h"
#include "Main.h"
#include "RunWait.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTest>

#include <deque>
#include <memory>

// Keeps the main window's messages and answers its questions from a script.
class ScriptedUser : public UserDialogs {
public:
    Reply AskSaveChanges(QWidget*) override { return Answer; }
    void Inform(QWidget*, const QString& message) override { Messages << message; }
    QString ChooseOpenFile(QWidget*, int& filterIndex) override
    {
        filterIndex = 1;
        return OpenPath;
    }
    QString ChooseSaveFile(QWidget*, const QString&, const QString&) override
    {
        if (SavePaths.empty())
            return QString();
        const QString path = SavePaths.front();
        SavePaths.pop_front();
        return path;
    }

    Reply Answer = Reply::No;
    QStringList Messages;
    QString OpenPath;
    std::deque<QString> SavePaths;
};

// The main window as the program shows it, with a scripted user.
inline std::unique_ptr<TMainForm> MakeShownForm(ScriptedUser*& user, const QStringList& arguments = {})
{
    auto form = std::make_unique<TMainForm>();
    auto dialogs = std::make_unique<ScriptedUser>();
    user = dialogs.get();
    form->SetDialogs(std::move(dialogs));
    BoundRunWaits(form->Document());
    form->SetArguments(arguments);
    form->show();
    form->activateWindow();
    if (!QTest::qWaitForWindowActive(form.get()))
        qWarning("the main window did not become active");
    return form;
}

// The item of a menu with this caption (nullptr when there is none).
inline QAction* MenuItem(QMenu* menu, const QString& caption)
{
    for (QAction* a : menu->actions())
        if (a->text() == caption)
            return a;
    return nullptr;
}

// Chooses a Data menu item as the user does: the menu opens (which commits
// the active child), then the item runs.
inline void ChooseDataItem(TMainForm& form, const QString& caption)
{
    emit form.DataMenu()->aboutToShow();
    QAction* item = MenuItem(form.DataMenu(), caption);
    QVERIFY2(item, qPrintable(caption));
    item->trigger();
    QCoreApplication::processEvents();
}

// The active child window's widget, as the type asked for.
template <class T>
T* ActiveChild(TMainForm& form)
{
    QMdiSubWindow* sub = form.MdiArea()->currentSubWindow();
    return sub ? dynamic_cast<T*>(sub->widget()) : nullptr;
}

// Replaces a field's text as typed: focus in, everything selected, keys.
inline void TypeInto(TDataEdit* field, const QString& text)
{
    field->setFocus(Qt::MouseFocusReason);
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

inline QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
