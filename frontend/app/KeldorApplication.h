#pragma once

// The program's application object: besides QApplication's work it stops
// any exception that an event handler lets through, shows its message and
// keeps the program running (an exception must never unwind through Qt's
// event loop).

#include <QApplication>

#include <functional>

class KeldorApplication : public QApplication {
    Q_OBJECT

public:
    using Reporter = std::function<void(const QString& message)>;

    KeldorApplication(int& argc, char** argv);

    // Where the message of a stopped exception goes; by default an
    // information box.
    void SetReporter(Reporter reporter) { m_reporter = std::move(reporter); }

    bool notify(QObject* receiver, QEvent* event) override;

private:
    void report(const QString& message);

    Reporter m_reporter;
    bool m_reporting = false;
};
