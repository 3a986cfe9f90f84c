#pragma once

// Where a window's Print command sends its page: the printer the user picks
// in the print dialog or, where no printer is installed, a PDF file the user
// names (".pdf" is added to a name without an extension).

class QPrinter;
class QString;
class QWidget;

// The file dialog starts in `folder` (the project's); where that is empty,
// in the dialog's own start. False when the user cancels.
bool ChoosePrintTarget(QPrinter& printer, QWidget* parent, const QString& folder);
