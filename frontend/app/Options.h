#pragma once

// Control Options: the text editor that Computation opens the project, the
// report and the run notes in. An empty path means the desktop's own opener,
// and where that cannot start, the main window's read-only text window.

#include "DataDialog.h"

#include <functional>

class QFileInfo;
class QLineEdit;
class QPushButton;

class TDlgOptions : public DataDialog {
    Q_OBJECT

public:
    // The file dialog of Browse: gets the current text, answers the chosen
    // path or an empty text when cancelled.
    using Browser = std::function<QString(QWidget* parent, const QString& current)>;

    explicit TDlgOptions(TMainForm& form);

    void FormActivate() override;
    bool FormDeactivate() override;

    // Replaces the file dialog of every Control Options window (tests).
    static void SetBrowser(Browser browser);
    // The standard file dialog: programs (executable files) or all files,
    // an existing file only.
    static QString BrowseForProgram(QWidget* parent, const QString& current);
    // What the Programs entry of the file dialog lists.
    static bool IsProgram(const QFileInfo& file);

    QLineEdit* EdtWord;
    QPushButton* BrowseButton;

private:
    void browseClick();
};
