#include "cPileProperties.h"

#include "DataEdit.h"
#include "DataUnit.h"

TfrmCPileProperties::TfrmCPileProperties(TMainForm& form) : NumberDialog(form, QStringLiteral("Pile Properties"))
{
    DataEdit1 = addBoundField(QStringLiteral("&Radius of the pile  "), QStringLiteral("L"), &TProgramData::PileRadius);
    DataEdit2 = addBoundField(QStringLiteral("&Cross section area of pile "), QStringLiteral("L²"),
                              &TProgramData::PileArea);
    DataEdit3 = addBoundField(QStringLiteral("Moment of inertia of the pile"), QStringLiteral("L^4"),
                              &TProgramData::PileInertia);
    DataEdit4 = addBoundField(QStringLiteral("Mass density of the pile"), QStringLiteral("F4/L^3"),
                              &TProgramData::PileDensity);
    DataEdit5 = addBoundField(QStringLiteral("Poisson's ratio of the pile"), QString(), &TProgramData::PilePoisson);
    DataEdit6 = addBoundField(QStringLiteral("Damping ratio of the pile"), QString(), &TProgramData::PileDamping);
    DataEdit7 = addBoundField(QStringLiteral("&Elastic modulus of the pile "), QStringLiteral("F/L²"),
                              &TProgramData::PileModulus);
    DataEdit8 = addBoundField(QStringLiteral("Pile Length"), QStringLiteral("L"), &TProgramData::PileLength);
    DataEdit8->Model().SetMinVal(-2147483648.0L);
    DataEdit8->Model().SetMaxVal(2147483647.0L);
    FormActivate();
}
