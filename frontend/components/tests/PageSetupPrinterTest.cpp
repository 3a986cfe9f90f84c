// Page Setup keeps the paper size and the margins in the component and leaves
// the printer as it was, whatever the dialog changed.

#include "PageSet.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QPageLayout>
#include <QPrinter>
#include <QTest>
#include <QTimer>

namespace {

// Runs `action` on the modal dialog the next call opens.
void onNextDialog(std::function<void(QDialog*)> action)
{
    QTimer::singleShot(0, [action] {
        QDialog* d = nullptr;
        QTRY_VERIFY((d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) != nullptr);
        action(d);
    });
}

} // namespace

class PageSetupPrinterTest : public QObject {
    Q_OBJECT

private slots:
    void thePrinterIsLeftAsItWas()
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        QPageLayout before(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(7, 8, 9, 10),
                           QPageLayout::Millimeter);
        printer.setPageLayout(before);
        before = printer.pageLayout();

        TPageSetupDialog setup;
        setup.SetOptions({poDefaultMinMargins, poThousandthsOfInches});
        for (auto set : {&TPageSetupDialog::SetMarginLeft, &TPageSetupDialog::SetMarginTop,
                         &TPageSetupDialog::SetMarginRight, &TPageSetupDialog::SetMarginBottom})
            (setup.*set)(1000);
        onNextDialog([](QDialog* d) {
            // Paper and margins only: an orientation would not be kept.
            const auto boxes = d->findChildren<QComboBox*>();
            QCOMPARE(boxes.size(), 1);
            QComboBox* paper = boxes[0];
            paper->setCurrentIndex(paper->findText(QPageSize::name(QPageSize::Letter)));
            const auto spins = d->findChildren<QDoubleSpinBox*>();
            QCOMPARE(spins.size(), 4);
            spins[2]->setValue(0.5); // right
            d->accept();
        });
        QVERIFY(setup.Execute(printer));
        // The component keeps the chosen paper (in the printer's orientation) and margins.
        QCOMPARE(setup.PaperLength(), 8500);
        QCOMPARE(setup.PaperWidth(), 11000);
        QCOMPARE(setup.MarginRight(), 500);
        QCOMPARE(setup.MarginLeft(), 1000);
        // The printer is as it was.
        const QPageLayout after = printer.pageLayout();
        QCOMPARE(after.orientation(), QPageLayout::Landscape);
        QCOMPARE(after.pageSize().id(), QPageSize::A4);
        QCOMPARE(after.margins(QPageLayout::Millimeter), before.margins(QPageLayout::Millimeter));
        QVERIFY(after.isEquivalentTo(before));

        // Cancel leaves both as they were.
        onNextDialog([](QDialog* d) { d->reject(); });
        QVERIFY(!setup.Execute(printer));
        QCOMPARE(setup.MarginRight(), 500);
        QVERIFY(printer.pageLayout().isEquivalentTo(before));
    }
};

QTEST_MAIN(PageSetupPrinterTest)
#include "PageSetupPrinterTest.moc"
