#include "DataEdit.h"
#include "LineEditView.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <functional>

class DataEditWidgetTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_window = new QWidget;
        auto* layout = new QVBoxLayout(m_window);
        m_label = new QLabel(m_window);
        m_field = new TDataEdit(m_window);
        m_other = new QLineEdit(m_window);
        layout->addWidget(m_label);
        layout->addWidget(m_field);
        layout->addWidget(m_other);
        m_messages.clear();
        m_field->SetMessageHandler([this](TDataEdit*, const QString& message) { m_messages << message; });
        m_field->SetEditLabel(m_label);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
    }
    void cleanup() { delete m_window; }

    void labelShowsCaptionAndUnits()
    {
        m_field->SetCaption("Pile length");
        m_field->SetUnitsString("L");
        QCOMPARE(m_label->text(), QString("Pile length (in)"));
        m_field->SetUnits(2);
        QCOMPARE(m_label->text(), QString("Pile length (m)"));
        QCOMPARE(m_label->buddy(), static_cast<QWidget*>(m_field));
        m_field->setEnabled(false);
        QVERIFY(!m_label->isEnabled());
    }

    void enterEvaluatesAndSelectsAll()
    {
        m_field->setFocus();
        m_field->clear();
        QTest::keyClicks(m_field, "2*3");
        QTest::keyClick(m_field, Qt::Key_Return);
        QCOMPARE(m_field->text(), QString("6"));
        QCOMPARE(m_field->selectedText(), QString("6"));
        QVERIFY(m_field->Model().IsValid());
        QVERIFY(m_messages.isEmpty());
    }

    void operatorOverFullSelectionIsAppended()
    {
        m_field->setFocus();
        m_field->setText("12");
        m_field->selectAll();
        QTest::keyClicks(m_field, "*2");
        QCOMPARE(m_field->text(), QString("12*2"));
        m_field->selectAll();
        QTest::keyClicks(m_field, "5"); // a digit still replaces the selection
        QCOMPARE(m_field->text(), QString("5"));
    }

    void leavingWithAnInvalidEntryReportsAndKeepsFocus()
    {
        m_field->setFocus();
        QVERIFY(QTest::qWaitFor([this] { return m_field->hasFocus(); }));
        m_field->setText("1/0");
        m_other->setFocus(Qt::TabFocusReason);
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages[0], QString("Entry could not be evaluated:\rdivision by zero"));
        QCOMPARE(m_field->text(), QString("1/0"));
        QVERIFY(m_field->hasFocus());
        QVERIFY(!m_field->Validate());
    }

    void boundIsSubstitutedAndReported()
    {
        m_field->Model().SetMaxVal(10.0L);
        m_field->setText("1e3");
        QVERIFY(!m_field->Validate());
        QCOMPARE(m_field->text(), QString("10"));
        QCOMPARE(m_messages.last(), QString("Entry must be less than or equal to 10"));
        QVERIFY(m_field->Validate());
    }

    // A value longer than the field shows from its start whenever the field
    // is not being edited: loaded, reloaded, or left. Its leading digits and
    // the decimal point stay in view.
    void aLongValueShowsItsStart()
    {
        const QString density = QStringLiteral("0.000233931414106785177");
        struct Case {
            const char* what;
            std::function<void(TDataEdit& field, QLineEdit& other)> act;
        };
        const Case cases[] = {
            {"loaded into a field without the focus", [](TDataEdit& f, QLineEdit&) { f.SetNumber(0.000233931414106785177L); }},
            {"loaded into the field with the focus",
             [](TDataEdit& f, QLineEdit&) {
                 f.setFocus();
                 f.SetNumber(0.000233931414106785177L);
             }},
            {"reloaded in other units",
             [](TDataEdit& f, QLineEdit&) {
                 f.SetNumber(2.5L);
                 f.SetNumber(0.000233931414106785177L);
             }},
            {"typed and left with Tab",
             [&density](TDataEdit& f, QLineEdit& other) {
                 f.setFocus();
                 f.clear();
                 QTest::keyClicks(&f, density);
                 other.setFocus(Qt::TabFocusReason);
             }},
            {"typed as an expression and left with a click",
             [&density](TDataEdit& f, QLineEdit& other) {
                 f.setFocus();
                 f.clear();
                 QTest::keyClicks(&f, density + "*1");
                 other.setFocus(Qt::MouseFocusReason);
             }},
        };
        for (const Case& c : cases) {
            cleanup();
            init();
            m_field->setFixedWidth(m_field->fontMetrics().horizontalAdvance(density) / 2);
            c.act(*m_field, *m_other);
            QVERIFY2(m_field->text() == density, c.what);
            QVERIFY2(Overflows(m_field), c.what);
            QVERIFY2(FirstShownPosition(m_field) == 0, c.what);
            QVERIFY2(m_messages.isEmpty(), c.what);
        }
    }

    // While the user types, the cursor stays where the user put it: neither
    // typing nor a menu or another window taking the focus moves it.
    void typingKeepsTheCursorWhereTheUserPutsIt()
    {
        m_field->setFixedWidth(m_field->fontMetrics().horizontalAdvance("0.000233931414"));
        m_field->setFocus();
        QVERIFY(QTest::qWaitFor([this] { return m_field->hasFocus(); }));
        m_field->clear();
        QTest::keyClicks(m_field, "0.000233931414106785177");
        for (int i = 0; i < 5; ++i)
            QTest::keyClick(m_field, Qt::Key_Left);
        QTest::keyClicks(m_field, "9");
        QCOMPARE(m_field->text(), QString("0.0002339314141067985177"));
        QCOMPARE(m_field->cursorPosition(), 19);
        QVERIFY(FirstShownPosition(m_field) > 0); // the cursor is in view, the start is not
        for (const Qt::FocusReason reason : {Qt::PopupFocusReason, Qt::ActiveWindowFocusReason}) {
            QFocusEvent out(QEvent::FocusOut, reason);
            QApplication::sendEvent(m_field, &out);
            QCOMPARE(m_field->cursorPosition(), 19);
        }
        QVERIFY(m_messages.isEmpty());
    }

private:
    QWidget* m_window = nullptr;
    QLabel* m_label = nullptr;
    TDataEdit* m_field = nullptr;
    QLineEdit* m_other = nullptr;
    QStringList m_messages;
};

QTEST_MAIN(DataEditWidgetTest)
#include "DataEditWidgetTest.moc"
