#pragma once

// Pile Properties: the pile's section, material and length.

#include "DataDialog.h"

class TfrmCPileProperties : public NumberDialog {
    Q_OBJECT

public:
    explicit TfrmCPileProperties(TMainForm& form);

    TDataEdit* DataEdit1; // radius
    TDataEdit* DataEdit2; // cross-section area
    TDataEdit* DataEdit3; // moment of inertia
    TDataEdit* DataEdit4; // mass density
    TDataEdit* DataEdit5; // Poisson's ratio
    TDataEdit* DataEdit6; // damping ratio
    TDataEdit* DataEdit7; // elastic modulus
    TDataEdit* DataEdit8; // length
};
