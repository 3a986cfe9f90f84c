#include "PageSet.h"

#include "Misc.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QMarginsF>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QScreen>
#include <QTimer>

#include <cmath>
#include <memory>

namespace {

// Page lengths per unit of the option set: thousandths of an inch or
// hundredths of a millimetre.
struct LengthUnit {
    QPageLayout::Unit unit;
    qreal perUnit;
};

LengthUnit unitOf(const TPageOptions& options)
{
    if (options.Has(poThousandthsOfInches))
        return {QPageLayout::Inch, 1000.0};
    return {QPageLayout::Millimeter, 100.0};
}

int toInt(qreal v) { return static_cast<int>(std::lround(v)); }

// Page setup for a printer the toolkit's dialog cannot serve (the PDF
// output used where no printer is installed): paper and the four margins,
// written into the printer's page layout on OK for the caller to take back.
class PdfPageSetup : public QDialog {
public:
    PdfPageSetup(QPrinter& printer, const LengthUnit& unit, QWidget* parent) : QDialog(parent), m_printer(printer)
    {
        setWindowTitle(QStringLiteral("Page Setup"));
        const QPageLayout layout = printer.pageLayout();
        auto* form = new QFormLayout(this);
        m_paper = new QComboBox(this);
        for (QPageSize::PageSizeId id : {QPageSize::Letter, QPageSize::Legal, QPageSize::Executive,
                                         QPageSize::Tabloid, QPageSize::A3, QPageSize::A4, QPageSize::A5}) {
            m_paper->addItem(QPageSize::name(id), static_cast<int>(id));
            if (layout.pageSize().id() == id)
                m_paper->setCurrentIndex(m_paper->count() - 1);
        }
        form->addRow(QStringLiteral("Paper"), m_paper);
        QPageLayout inUnit = layout;
        inUnit.setUnits(unit.unit); // converts the margins and the minimum margins
        const QMarginsF m = inUnit.margins();
        const QMarginsF min = inUnit.minimumMargins();
        const QString suffix = unit.unit == QPageLayout::Inch ? QStringLiteral(" in") : QStringLiteral(" mm");
        auto spin = [&](const QString& label, qreal value, qreal minimum) {
            auto* box = new QDoubleSpinBox(this);
            box->setDecimals(unit.unit == QPageLayout::Inch ? 3 : 2);
            box->setRange(minimum, unit.unit == QPageLayout::Inch ? 10.0 : 250.0);
            box->setSuffix(suffix);
            box->setValue(value);
            form->addRow(label, box);
            return box;
        };
        m_left = spin(QStringLiteral("Left"), m.left(), min.left());
        m_top = spin(QStringLiteral("Top"), m.top(), min.top());
        m_right = spin(QStringLiteral("Right"), m.right(), min.right());
        m_bottom = spin(QStringLiteral("Bottom"), m.bottom(), min.bottom());
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        form->addRow(buttons);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        m_unit = unit.unit;
    }

    void accept() override
    {
        QPageLayout layout = m_printer.pageLayout();
        layout.setPageSize(QPageSize(static_cast<QPageSize::PageSizeId>(m_paper->currentData().toInt())));
        layout.setUnits(m_unit);
        layout.setMargins(QMarginsF(m_left->value(), m_top->value(), m_right->value(), m_bottom->value()));
        m_printer.setPageLayout(layout);
        QDialog::accept();
    }

private:
    QPrinter& m_printer;
    QPageLayout::Unit m_unit = QPageLayout::Inch;
    QComboBox* m_paper = nullptr;
    QDoubleSpinBox* m_left = nullptr;
    QDoubleSpinBox* m_top = nullptr;
    QDoubleSpinBox* m_right = nullptr;
    QDoubleSpinBox* m_bottom = nullptr;
};

} // namespace

bool TPageSetupDialog::Execute(QPrinter& printer, QWidget* parent)
{
    const QPageLayout kept = printer.pageLayout();
    try {
        const LengthUnit u = unitOf(Options());
        QPageLayout layout = printer.pageLayout();
        layout.setUnits(u.unit);
        if (!Options().Has(poDefaultMinMargins))
            layout.setMinimumMargins(QMarginsF(MinMarginLeft() / u.perUnit, MinMarginTop() / u.perUnit,
                                               MinMarginRight() / u.perUnit, MinMarginBottom() / u.perUnit));
        layout.setMargins(QMarginsF(MarginLeft() / u.perUnit, MarginTop() / u.perUnit, MarginRight() / u.perUnit,
                                    MarginBottom() / u.perUnit));
        printer.setPageLayout(layout);

        std::unique_ptr<QDialog> owned;
        if (printer.outputFormat() == QPrinter::NativeFormat)
            owned = std::make_unique<QPageSetupDialog>(&printer, parent);
        else
            owned = std::make_unique<PdfPageSetup>(printer, u, parent);
        QDialog& dialog = *owned;
        // Centred across the screen and a third of the way down, once shown.
        QTimer::singleShot(0, &dialog, [&dialog] {
            const QScreen* screen = dialog.screen() ? dialog.screen() : QGuiApplication::primaryScreen();
            if (!screen)
                return;
            const QRect s = screen->geometry();
            const QRect f = dialog.frameGeometry();
            dialog.move(s.topLeft() + CenterWindowPos(f.width(), f.height(), s.width(), s.height()));
        });
        const bool ok = dialog.exec() == QDialog::Accepted;
        if (ok) {
            const QPageLayout chosen = printer.pageLayout();
            const QRectF paper = chosen.fullRect(u.unit);
            setPaper(toInt(paper.height() * u.perUnit), toInt(paper.width() * u.perUnit));
            const QMarginsF m = chosen.margins(u.unit);
            SetMarginLeft(toInt(m.left() * u.perUnit));
            SetMarginTop(toInt(m.top() * u.perUnit));
            SetMarginRight(toInt(m.right() * u.perUnit));
            SetMarginBottom(toInt(m.bottom() * u.perUnit));
        }
        // Only the paper size and the margins are kept, here; the printer's
        // own settings (paper, orientation, margins) stay as they were.
        printer.setPageLayout(kept);
        return ok;
    } catch (const Exception& e) {
        printer.setPageLayout(kept);
        const QString message =
            Format(QStringLiteral("Error in %s\r%s"), {QStringLiteral("TPageSetupDialog.Execute"), e.Message()});
        if (m_message)
            m_message(message);
        else
            QMessageBox::information(parent, QString(), message, QMessageBox::Ok);
        return false;
    }
}
