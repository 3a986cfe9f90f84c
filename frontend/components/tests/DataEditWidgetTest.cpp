#include "DataEdit.h"

#include <QLabel>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

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

private:
    QWidget* m_window = nullptr;
    QLabel* m_label = nullptr;
    TDataEdit* m_field = nullptr;
    QLineEdit* m_other = nullptr;
    QStringList m_messages;
};

QTEST_MAIN(DataEditWidgetTest)
#include "DataEditWidgetTest.moc"
