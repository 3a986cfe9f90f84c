#pragma once

// "Legend": edits the legend texts of a plot's curves. The names list is
// filled by the caller; closing the dialog, by any button, writes the list
// back into it, and the caller applies it only after OK. Each name is shown
// in the colour its curve has in the plot: by position among the listed
// curves, or the window text colour for a curve that is not listed.

#include <QDialog>
#include <QStringList>

#include <functional>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class TfrmLineNames : public QDialog {
    Q_OBJECT

public:
    TfrmLineNames(QStringList& lineNames, std::vector<bool> listed, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QListWidget* lbLines = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* edLine = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

    using MessageHandler = std::function<void(const QString& message)>;
    void SetMessageHandler(MessageHandler handler) { m_message = std::move(handler); }

    // Colour of the name of curve `index`.
    QColor NameColor(int index) const;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layOut();
    void lbLinesClick();
    // Enter or leaving the text box: a non-empty text replaces the selected
    // name, an empty one is refused and the name comes back.
    void takeEdit();

    QStringList& m_names;
    std::vector<bool> m_listed;
    MessageHandler m_message;
    bool m_filled = false;
};
