#pragma once

// The help page in a window of the program's own, so that help works
// wherever the program runs: the page with its links, Back, and a
// find-in-page (Ctrl+F focuses the find field, Enter finds the next
// occurrence, Shift+Enter the one before).

#include <QString>
#include <QStringList>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QTextBrowser;

class HelpWindow : public QWidget {
    Q_OBJECT

public:
    // The file name of the help page.
    static const QString PageName;

    // Shows the page (a file path); the caption is the page's title.
    explicit HelpWindow(const QString& page, QWidget* parent = nullptr);

    // Where the page is looked for, in order: beside the program (where the
    // build copies it), then where the installation puts it.
    static QStringList PageLocations(const QString& programDir);

    // Selects the next occurrence of the find field's text after the
    // selection (the one before when backward), from the other end when none
    // is left; false when the page does not hold it.
    bool FindNext(bool backward = false);

    QSize sizeHint() const override;

    QTextBrowser* Browser;
    QPushButton* BackButton;
    QLineEdit* FindField;
    QLabel* FindStatus;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showTitle();
};
