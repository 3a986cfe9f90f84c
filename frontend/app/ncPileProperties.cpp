#include "ncPileProperties.h"

#include "DataUnit.h"

TfrmNCPileProperties::TfrmNCPileProperties(TMainForm& form)
    : NumberDialog(form, QStringLiteral("Superstructure Properties"))
{
    DataEdit1 = addBoundField(QStringLiteral("Mass of basemat"), QStringLiteral("F4"), &TProgramData::BasematMass);
    DataEdit2 = addBoundField(QStringLiteral("Mass of superstructure"), QStringLiteral("F4"),
                              &TProgramData::SuperstructureMass);
    DataEdit3 = addBoundField(QStringLiteral("Horizontal spring value"), QStringLiteral("F/L"),
                              &TProgramData::HorizontalSpring);
    DataEdit4 = addBoundField(QStringLiteral("Daming ratio of the structure"), QString(),
                              &TProgramData::StructureDamping);
    FormActivate();
}
