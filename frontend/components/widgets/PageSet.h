#pragma once

// The page-setup dialog as a non-visual component: it runs the toolkit's
// page-setup dialog over a printer with the kept margins, centres it, and
// after OK keeps the paper size and the margins (never below their minimums).
// Nothing is kept after Cancel or a failure.

#include "PageSetupModel.h"

#include <QObject>

#include <functional>

class QPrinter;
class QWidget;

class TPageSetupDialog : public QObject, public PageSetupData {
    Q_OBJECT

public:
    explicit TPageSetupDialog(QObject* owner = nullptr) : QObject(owner) {}

    // Runs the dialog for `printer`; True when the user confirmed it. The
    // printer is left as it was: its paper, orientation and margins.
    bool Execute(QPrinter& printer, QWidget* parent = nullptr);

    // Where failure messages go; a message box unless replaced.
    using MessageHandler = std::function<void(const QString& message)>;
    void SetMessageHandler(MessageHandler handler) { m_message = std::move(handler); }

private:
    MessageHandler m_message;
};
