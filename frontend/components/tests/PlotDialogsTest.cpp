#include "ChangeActiveLines.h"
#include "ChangeLineNames.h"
#include "DataEdit.h"
#include "PageSet.h"
#include "PlotPainter.h"
#include "PlotWindow.h"
#include "SaveAttb.h"

#include <QApplication>
#include <QDoubleSpinBox>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class PlotDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void saveAttributesDefaultsGiveSixByFourInchesAtSeventyTwo()
    {
        QImage bitmap;
        TdlgFormat dialog(&bitmap);
        dialog.show();
        dialog.btnOK->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(bitmap.size(), QSize(432, 288));
    }

    void saveAttributesChecksEveryFieldOnOk()
    {
        struct Row {
            const char* what;
            const char* height;
            const char* width;
            const char* ppi;
            const char* message;
        };
        const Row rows[] = {
            {"height typed below 2 and never left", "1", "6", "72", "2"},
            {"pixels per inch not an integer", "4", "6", "72.5", ""},
            {"more than 10000 pixels wide", "4", "200", "72", "10000"},
        };
        for (const Row& r : rows) {
            QImage bitmap;
            TdlgFormat dialog(&bitmap);
            QStringList messages;
            dialog.SetMessageHandler([&messages](const QString& m) { messages << m; });
            dialog.show();
            dialog.deHeight->setText(r.height);
            dialog.deWidth->setText(r.width);
            dialog.dePPI->setText(r.ppi);
            dialog.btnOK->click();
            QVERIFY2(dialog.isVisible(), r.what);
            QVERIFY2(bitmap.isNull(), r.what);
            QVERIFY2(messages.size() == 1, r.what);
            QVERIFY2(messages[0].contains(r.message), qPrintable(messages[0]));
        }
    }

    void legendRefusesAnEmptyNameAndStoresANewOne()
    {
        QStringList names{"Curve #1", "Curve #2", "Curve #3"};
        TfrmLineNames dialog(names, {true, false, true});
        QStringList messages;
        dialog.SetMessageHandler([&messages](const QString& m) { messages << m; });
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.edLine->text(), QString("Curve #1"));
        dialog.edLine->setFocus();
        dialog.edLine->clear();
        QTest::keyClick(dialog.edLine, Qt::Key_Return);
        QCOMPARE(messages, QStringList{"The line must have a name!"});
        QCOMPARE(dialog.edLine->text(), QString("Curve #1"));
        QVERIFY(dialog.isVisible()); // Enter does not close the dialog

        dialog.lbLines->setCurrentRow(2);
        dialog.edLine->setFocus();
        dialog.edLine->setText("Pile 3");
        dialog.lbLines->setFocus(Qt::TabFocusReason); // leaving the text box stores it
        QCOMPARE(dialog.lbLines->item(2)->text(), QString("Pile 3"));
        // Colours as in the plot: by position among the listed curves.
        QCOMPARE(dialog.NameColor(0), QColor(0, 0, 0));
        QCOMPARE(dialog.NameColor(1), dialog.palette().color(QPalette::WindowText));
        QCOMPARE(dialog.NameColor(2), LineColor(1));
        QCOMPARE(dialog.edLine->palette().color(QPalette::Text), LineColor(1));
        // Cancel still writes the list back; the window ignores it then.
        dialog.btnCancel->click();
        QCOMPARE(names[2], QString("Pile 3"));
    }

    void activePlotsTogglesFlags()
    {
        const QStringList names{"A", "B", "C"};
        QStringList flags{" yes : ", " no  : ", " yes : "};
        TfrmActiveLines dialog(names, flags);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.lbLines->item(0)->text(), QString(" yes :    A"));
        dialog.SetKodeLines(1);
        dialog.SetKodeLines(1);
        QCOMPARE(flags[1], QString(" no  : "));
        // A double click toggles the focused item.
        const QPoint at = dialog.lbLines->visualItemRect(dialog.lbLines->item(1)).center();
        QTest::mouseClick(dialog.lbLines->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(dialog.lbLines->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QCOMPARE(dialog.lbLines->currentRow(), 1);
        QCOMPARE(flags[1], QString(" yes : "));
        QCOMPARE(dialog.lbLines->item(1)->text(), QString(" yes :    B"));
        // Several selected: each is toggled.
        dialog.lbLines->clearSelection();
        dialog.lbLines->item(0)->setSelected(true);
        dialog.lbLines->item(2)->setSelected(true);
        dialog.ActivateDesactivateButton->click();
        QCOMPARE(flags, (QStringList{" no  : ", " yes : ", " no  : "}));
        dialog.ActivateButton->click();
        QCOMPARE(flags, (QStringList{" yes : ", " yes : ", " yes : "}));
        dialog.DesactivateButton->click();
        QCOMPARE(dialog.lbLines->item(2)->text(), QString(" no  :    C"));
    }

    void pageSetupKeepsMarginsAndPaperAfterOk()
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::Letter));
        TPageSetupDialog setup;
        setup.SetOptions({poDefaultMinMargins, poThousandthsOfInches});
        setup.SetMarginLeft(1000);
        setup.SetMarginTop(750);
        setup.SetMarginRight(1000);
        setup.SetMarginBottom(500);
        // Without a printer the page goes to PDF, and page setup works on that.
        QTimer::singleShot(0, [] {
            QDialog* d = nullptr;
            QTRY_VERIFY((d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) != nullptr);
            const auto spins = d->findChildren<QDoubleSpinBox*>();
            QCOMPARE(spins.size(), 4);
            QCOMPARE(spins[1]->value(), 0.75);
            spins[0]->setValue(1.25); // left
            d->accept();
        });
        QVERIFY(setup.Execute(printer));
        QCOMPARE(setup.PaperWidth(), 8500);
        QCOMPARE(setup.PaperLength(), 11000);
        QCOMPARE(setup.MarginLeft(), 1250);
        QCOMPARE(setup.MarginTop(), 750);
        QCOMPARE(setup.MarginBottom(), 500);
        // Cancel keeps nothing.
        QTimer::singleShot(0, [] {
            QDialog* d = nullptr;
            QTRY_VERIFY((d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) != nullptr);
            d->reject();
        });
        setup.SetMarginTop(900);
        QVERIFY(!setup.Execute(printer));
        QCOMPARE(setup.MarginTop(), 900);
    }
};

QTEST_MAIN(PlotDialogsTest)
#include "PlotDialogsTest.moc"
