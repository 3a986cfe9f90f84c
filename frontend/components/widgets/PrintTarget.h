#pragma once

// Where a window's Print command sends its page: the printer the user picks
// in the print dialog or, where no printer is installed, a PDF file the user
// names (".pdf" is added to a name without an extension).

class QPrinter;
class QWidget;

// False when the user cancels.
bool ChoosePrintTarget(QPrinter& printer, QWidget* parent);
