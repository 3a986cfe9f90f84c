#pragma once

// "Graph Caption": the graph title and whether it goes at the top or the
// bottom. The caller reads the text box and the Top button however the
// dialog was closed.

#include <QDialog>

class QLineEdit;
class QPushButton;
class QRadioButton;

class TfrmGraphCaption : public QDialog {
    Q_OBJECT

public:
    explicit TfrmGraphCaption(QWidget* parent = nullptr);

    QLineEdit* edtCaption = nullptr;
    QRadioButton* rbTop = nullptr;
    QRadioButton* rbBottom = nullptr;
    QPushButton* btnOK = nullptr;
};
