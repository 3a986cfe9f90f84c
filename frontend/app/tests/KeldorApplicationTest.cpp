// The application object stops exceptions that leave an event handler.

#include "KeldorApplication.h"

#include "Misc.h"

#include <QEvent>
#include <QTest>
#include <QTimer>

#include <stdexcept>

namespace {

// Throws from its event handler, as a faulty window might.
class ThrowingObject : public QObject {
public:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User)
            throw EInOutError(QStringLiteral("The file x.kld could not be read."));
        return QObject::event(e);
    }
};

} // namespace

class KeldorApplicationTest : public QObject {
    Q_OBJECT

private slots:
    void exceptionsFromEventHandlersAreShownAndStopped()
    {
        auto* app = static_cast<KeldorApplication*>(QCoreApplication::instance());
        QStringList reported;
        app->SetReporter([&](const QString& message) { reported << message; });

        ThrowingObject target;
        QEvent event(QEvent::User);
        QVERIFY(!QCoreApplication::sendEvent(&target, &event));
        QCOMPARE(reported, QStringList({"The file x.kld could not be read."}));

        // A slot run from the event loop (a menu command, a timer) is stopped too.
        QTimer::singleShot(0, &target, [] { throw std::runtime_error("plain failure"); });
        QTRY_COMPARE(reported.size(), 2);
        QCOMPARE(reported.last(), "plain failure");
        // The event loop goes on.
        bool later = false;
        QTimer::singleShot(0, &target, [&] { later = true; });
        QTRY_VERIFY(later);
        app->SetReporter({});
    }
};

int main(int argc, char** argv)
{
    KeldorApplication app(argc, argv);
    KeldorApplicationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "KeldorApplicationTest.moc"
