#include "HorizontalSoilModel.h"

#include "RecordFile.h"
#include "SoilColumn.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace kd;
using kd::test::SoilColumn;

namespace {

void frequencyStep(HorizontalSoilModel& soil, double f, OutputChannel& notes, OutputChannel& report)
{
    const double omega = 6.283180236816406 * f;
    FORM_DYN_SH(soil, omega * omega);
    NEWTON_WAVENUMBERS_H(soil, f, notes);
    FORM_DYN_PSV(soil, omega * omega);
    EIGENVECTORS_H(soil, report);
}

bool sameBits(const Vector<Cx>& a, const Vector<Cx>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), sizeof(Cx) * a.size()) == 0;
}
bool sameBits(Matrix<Cx>& a, Matrix<Cx>& b)
{
    return a.ld() == b.ld() && a.cols() == b.cols()
           && std::memcmp(a.data(), b.data(), sizeof(Cx) * a.ld() * a.cols()) == 0;
}

} // namespace

// The run driver's sequence: matrices once, then per frequency. Nothing but
// the outputs survives a frequency, so a frequency after others gives the same
// bits as the same frequency on fresh storage; and the layouts are the ones
// the soil stiffness reads (leading dimensions N and 2N).
TEST(HorizontalSoilModel, FrequencyStepsAreIndependent)
{
    SoilColumn column;
    column.add(2, 2.0, 1.8, 150.0, 0.30, 0.05);
    column.add(4, 6.0, 2.0, 250.0, 0.40, 0.03);
    HorizontalSoilModel running = column.model(0.4);
    EXPECT_EQ(running.SH_MODES.ld(), 6);
    EXPECT_EQ(running.PSV_MODES.ld(), 12);
    EXPECT_EQ(running.PSV_WAVENUMBERS.size(), 12);

    OutputChannel notes;
    OutputChannel report;
    for (double f : {1.0, 5.0, 12.5})
        frequencyStep(running, f, notes, report);
    HorizontalSoilModel fresh = column.model(0.4);
    frequencyStep(fresh, 12.5, notes, report);
    EXPECT_TRUE(notes.memoryLines().empty());
    EXPECT_TRUE(report.memoryLines().empty());

    EXPECT_TRUE(sameBits(running.SH_WAVENUMBERS, fresh.SH_WAVENUMBERS));
    EXPECT_TRUE(sameBits(running.SH_MODES, fresh.SH_MODES));
    EXPECT_TRUE(sameBits(running.PSV_WAVENUMBERS, fresh.PSV_WAVENUMBERS));
    EXPECT_TRUE(sameBits(running.PSV_MODES, fresh.PSV_MODES));
    for (int j = 1; j <= 6; ++j)
        EXPECT_LE(running.SH_WAVENUMBERS(j).im, 0.0);
    for (int j = 1; j <= 12; ++j)
        EXPECT_LE(running.PSV_WAVENUMBERS(j).im, 0.0);
}
