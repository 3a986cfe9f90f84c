#pragma once

// The About box: the program's name, version and purpose.

#include <QDialog>

class QLabel;
class QPushButton;

class TAboutBox : public QDialog {
    Q_OBJECT

public:
    explicit TAboutBox(QWidget* parent = nullptr);

    // Shows the box modally in the centre of the screen.
    void ShowCentred();

    QLabel* ProgramIcon;
    QLabel* ProductName;
    QLabel* Version;
    QLabel* Comments;
    QPushButton* OKButton;
};

// The program's icon: a pile in layered soil.
QPixmap ProgramPixmap(int size);
