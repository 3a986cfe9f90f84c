#include "PrintTarget.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

bool ChoosePrintTarget(QPrinter& printer, QWidget* parent, const QString& folder)
{
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("Print"), folder,
                                                    QStringLiteral("PDF (*.pdf)"));
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
