#include "PrintTarget.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

bool ChoosePrintTarget(QPrinter& printer, QWidget* parent)
{
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        QString path =
            QFileDialog::getSaveFileName(parent, QStringLiteral("Print"), QString(), QStringLiteral("PDF (*.pdf)"));
        if (path.isEmpty())
            return false;
        if (QFileInfo(path).suffix().isEmpty())
            path += QStringLiteral(".pdf");
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        return true;
    }
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}
