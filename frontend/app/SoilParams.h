#pragma once

// Frequency Data: how many frequencies the analysis takes, the first one and
// the step between them.

#include "DataDialog.h"

class TfrmSoilParams : public NumberDialog {
    Q_OBJECT

public:
    explicit TfrmSoilParams(TMainForm& form);

    TDataEdit* DataEdit1; // number of frequencies
    TDataEdit* DataEdit2; // first frequency
    TDataEdit* DataEdit3; // frequency step
};
