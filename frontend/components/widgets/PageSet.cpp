#include "PageSet.h"

#include "Misc.h"

#include <QGuiApplication>
#include <QMarginsF>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QScreen>
#include <QTimer>

#include <cmath>

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

        QPageSetupDialog dialog(&printer, parent);
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
        // The paper size stays with the printer, the margins with this component.
        QPageLayout back = printer.pageLayout();
        back.setMargins(kept.margins(back.units()));
        printer.setPageLayout(back);
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
