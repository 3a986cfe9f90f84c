#include "SoilParams.h"

#include "DataEdit.h"
#include "DataUnit.h"
#include "Misc.h"

TfrmSoilParams::TfrmSoilParams(TMainForm& form) : NumberDialog(form, QStringLiteral("Frequency Data"))
{
    DataEdit1 = addBoundField(
        QStringLiteral("Number of frequencies"), QString(),
        [](const TProgramData& d) { return static_cast<Extended>(d.FrequencyCount); },
        // The field takes integers of the 32-bit range only.
        [](TProgramData& d, Extended x) { d.FrequencyCount = RoundToInt32(x); });
    DataEdit1->Model().SetIntegerOnly(true);
    DataEdit2 = addBoundField(QStringLiteral("Initial frequencies of analysis (Hz)"), QString(),
                              &TProgramData::InitialFrequency);
    DataEdit3 = addBoundField(QStringLiteral("Increment frequencies of analysis (Hz)"), QString(),
                              &TProgramData::FrequencyIncrement);
    FormActivate();
}
