// The entry field inside a child window of a multiple-document area: moving
// the focus to another child window is switching windows (the window's owner
// checks the entry when it is deactivated); moving it within the window, by
// a click or a key, is leaving the field.

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

        // Shift+Tab from the first field wraps by way of the window's frame:
        // leaving the field all the same.
        QTest::keyClick(field, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(messages.size(), 2);
        QVERIFY(field->hasFocus());
        QCOMPARE(field->text(), "abc");

        // A click on the window's own title bar hands the focus straight
        // back to the field: no check.
        auto* own = qobject_cast<QMdiSubWindow*>(page->parentWidget());
        QTest::mouseClick(own, Qt::LeftButton, {}, QPoint(own->width() / 2, 8));
        QCOMPARE(messages.size(), 2);
        QVERIFY(field->hasFocus());
    }
};

QTEST_MAIN(DataEditChildWindowTest)
#include "DataEditChildWindowTest.moc"
