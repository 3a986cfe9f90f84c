#pragma once

// Project Title: the project's one-line description, at most 80 characters.

#include "DataDialog.h"

#include <QPlainTextEdit>

class QMimeData;

// The title's text box: wraps like a memo but holds one line. Enter adds
// nothing; typed, pasted or dropped text has every line break and other
// control character turned into a blank and is cut at the room left.
class SingleLineMemo : public QPlainTextEdit {
    Q_OBJECT

public:
    static constexpr int MaxLength = 80;

    explicit SingleLineMemo(QWidget* parent = nullptr);

    // Shows a title as the project holds it (made one line, never cut).
    void Load(const QString& title);

    // Characters as the user sees them (a letter outside the basic plane counts once).
    static int Length(const QString& text);
    // The first count characters of text, never half a letter.
    static QString Left(const QString& text, int count);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // Inserts text in place of the selection, as much as there is room for.
    void insertLimited(const QString& text);
    // The last resort for any other way in (input methods, undo): the text
    // is made one line and never grows beyond the limit.
    void enforce();

    QString m_accepted;
    bool m_enforcing = false;
};

class TdlgTitle : public DataDialog {
    Q_OBJECT

public:
    explicit TdlgTitle(TMainForm& form);

    void FormActivate() override;
    bool FormDeactivate() override;

    SingleLineMemo* TitleMemo;

private:
    // The text the memo showed when loaded or last stored: a title with a
    // tab or another control character is shown with a blank, and leaving
    // it unedited must not store that blank.
    QString m_shown;
};
