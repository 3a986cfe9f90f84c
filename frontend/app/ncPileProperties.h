#pragma once

// Superstructure Properties: the two masses, the spring between them and the
// structure's damping.

#include "DataDialog.h"

class TfrmNCPileProperties : public NumberDialog {
    Q_OBJECT

public:
    explicit TfrmNCPileProperties(TMainForm& form);

    TDataEdit* DataEdit1; // basemat mass
    TDataEdit* DataEdit2; // superstructure mass
    TDataEdit* DataEdit3; // horizontal spring
    TDataEdit* DataEdit4; // damping ratio
};
