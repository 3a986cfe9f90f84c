#pragma once

// "Active Plots": chooses which curves have a legend entry and a Plot menu
// item. Works on the caller's name and flag lists (one entry per curve); the
// caller applies the flags after OK.

#include <QDialog>
#include <QStringList>

class QLabel;
class QListWidget;
class QPushButton;

class TfrmActiveLines : public QDialog {
    Q_OBJECT

public:
    TfrmActiveLines(const QStringList& lineNames, QStringList& lineFlags, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QListWidget* lbLines = nullptr;
    QPushButton* ActivateDesactivateButton = nullptr;
    QPushButton* ActivateButton = nullptr;
    QPushButton* DesactivateButton = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

    void SetLineNames(int index);
    void SetKodeLines(int index);

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void layOut();
    void setAll(const QString& flag);
    void activateDesactivateSelected();

    const QStringList& m_names;
    QStringList& m_flags;
    bool m_filled = false;
};
