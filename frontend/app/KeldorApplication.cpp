#include "KeldorApplication.h"

#include "Misc.h"

#include <QMessageBox>

#include <exception>
#include <new>

KeldorApplication::KeldorApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool KeldorApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const Exception& e) {
        report(e.Message());
    } catch (const std::bad_alloc&) {
        report(QStringLiteral("Out of memory"));
    } catch (const std::exception& e) {
        report(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        report(QStringLiteral("An unexpected error occurred."));
    }
    return false;
}

void KeldorApplication::report(const QString& message)
{
    // The box runs an event loop of its own: a second failure inside it is
    // not shown again.
    if (m_reporting)
        return;
    m_reporting = true;
    QString text = message;
    text.replace(u'\r', u'\n');
    if (m_reporter)
        m_reporter(message);
    else
        QMessageBox::information(activeWindow(), applicationName(), text, QMessageBox::Ok);
    m_reporting = false;
}
