#pragma once

// The questions and messages of the front end's file commands and runs,
// behind an interface so that tests can answer them. The standard boxes and
// file dialogs are made by MakeStandardDialogs (Main.h).

#include <QString>

class QWidget;

class UserDialogs {
public:
    enum class Reply { Yes, No, Cancel };
    virtual ~UserDialogs() = default;
    // "Do you want to save any changes?" with Yes, No and Cancel.
    virtual Reply AskSaveChanges(QWidget* parent) = 0;
    // An information box with an OK button; a CR in the text starts a new line.
    virtual void Inform(QWidget* parent, const QString& message) = 0;
    // An information box whose message is followed by a long text (a
    // program's output) shown scrollable and bounded in size; by default
    // the text follows the message after a CR.
    virtual void InformWithText(QWidget* parent, const QString& message, const QString& text)
    {
        Inform(parent, text.isEmpty() ? message : message + u'\r' + text);
    }
    // The Open dialog; filterIndex (1-based) comes in as last left and goes
    // out as chosen. An empty result means cancelled.
    virtual QString ChooseOpenFile(QWidget* parent, int& filterIndex) = 0;
    // The Save dialog with its title and preset name; empty means cancelled.
    // It accepts only a file in an existing folder.
    virtual QString ChooseSaveFile(QWidget* parent, const QString& title, const QString& preset) = 0;
};
