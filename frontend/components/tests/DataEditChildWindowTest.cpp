// The entry field inside a child window of a multiple-document area: moving
// the focus to another child window is switching windows (the window's owner
// checks the entry when it is deactivated); moving it within the window is
// leaving the field.

#include "DataEdit.h"

#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <QVBoxLayout>

class DataEditChildWindowTest : public QObject {
    Q_OBJECT

private slots:
    void onlyLeavingWithinTheWindowChecksTheEntry()
    {
        QMdiArea area;
        area.resize(600, 400);

        auto* page = new QWidget;
        auto* layout = new QVBoxLayout(page);
        auto* field = new TDataEdit(page);
        auto* neighbour = new QLineEdit(page);
        layout->addWidget(field);
        layout->addWidget(neighbour);
        QStringList messages;
        field->SetMessageHandler([&](TDataEdit*, const QString& m) { messages << m; });
        area.addSubWindow(page)->show();
        auto* otherPage = new QLineEdit;
        QMdiSubWindow* other = area.addSubWindow(otherPage);
        other->show();
        area.show();
        area.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&area));

        area.setActiveSubWindow(qobject_cast<QMdiSubWindow*>(page->parentWidget()));
        field->setFocus(Qt::MouseFocusReason);
        field->selectAll();
        QTest::keyClicks(field, "abc");

        // To another child window: no check, the text stays as typed.
        area.setActiveSubWindow(other);
        otherPage->setFocus(Qt::MouseFocusReason);
        QCOMPARE(messages.size(), 0);
        QCOMPARE(field->text(), "abc");

        // Within its own window: the check runs and the focus comes back.
        area.setActiveSubWindow(qobject_cast<QMdiSubWindow*>(page->parentWidget()));
        field->setFocus(Qt::MouseFocusReason);
        neighbour->setFocus(Qt::TabFocusReason);
        QCOMPARE(messages.size(), 1);
        QVERIFY(field->hasFocus());
        QVERIFY(!field->Model().IsValid());
    }
};

QTEST_MAIN(DataEditChildWindowTest)
#include "DataEditChildWindowTest.moc"
