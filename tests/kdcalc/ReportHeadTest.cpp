// The head of the report for a two-layer project (3 + 2 sublayers), compared
// line by line with the exact texts in both systems of units.

#include "KdcalcRun.h"
#include "ProjectText.h"
#include "TempDir.h"

#include <gtest/gtest.h>

using namespace kdtest;

namespace {

std::vector<std::string> expectedHead(int units)
{
    const bool si = units == 2;
    auto u = [si](const char* english, const char* metric) { return std::string(si ? metric : english); };
    std::vector<std::string> lines = {
        "",
        " COMPUTER PROGRAM KELDOR 2.0",
        "",
        "",
        " DEFINITION OF SOME VARIABLES USED IN THE OUTPUT",
        " UFF  : free-field ground-surface displacement",
        " UP   : pile-head displacement of pile",
        " UPP  : pile-head displacement of pile group",
        " UST  : superstructure motion due to a rock motion",
        " U0   : foundation motion due to a rock motion",
        " UG   : the seismic excitation at the pile tip level(base)",
        "",
        " DKSHH: horizontal dynamic stiffness of single pile",
        " SKSHH: horizontal static stiffness of single pile, (at the lower frecuency)",
        " DKGHH: horizontal dynamic stiffness of pile group",
        " DKSVV: vertical dynamic stiffness of single pile",
        " SKSVV: vertical static stiffness of single pile (at the lower frecuency)",
        " DKGVV: vertical dynamic stiffness of pile group",
        " DKGRX: rocking dynamic stiffness (x dir) of pile group",
        " DKGRY: rocking dynamic stiffness (y dir) of pile group",
        "",
        "",
        "Head test: two layers" + std::string(80 - 21, ' '),
        "",
        "NUMBER OF MAIN LAYER=    2",
        "LAYER =    1",
        "NUMBER OF SUBLAYERS=  3  HEIGHT OF SOIL LAYER=   3.000" + u(" (IN)", " (M)"),
        "SUBL.     H        CS        GS          ES        RHOS       POIS   DAMPS",
        u(" NO.    (IN)   (IN/SEC)    (PSI)       (PSI)    (LB-S2/IN4)           (%)",
          " NO.     (M)    (M/SEC)   (kN/M2)     (kN/M2)     (Mg/M3)             (%)"),
        "   1     1.000   100.00 0.18000E+05 0.46800E+05 0.18000E+01   0.300    5.00",
        "   2     1.000   100.00 0.18000E+05 0.46800E+05 0.18000E+01   0.300    5.00",
        "   3     1.000   100.00 0.18000E+05 0.46800E+05 0.18000E+01   0.300    5.00",
        "",
        "LAYER =    2",
        "NUMBER OF SUBLAYERS=  2  HEIGHT OF SOIL LAYER=   4.000" + u(" (IN)", " (M)"),
        "SUBL.     H        CS        GS          ES        RHOS       POIS   DAMPS",
        u(" NO.    (IN)   (IN/SEC)    (PSI)       (PSI)    (LB-S2/IN4)           (%)",
          " NO.     (M)    (M/SEC)   (kN/M2)     (kN/M2)     (Mg/M3)             (%)"),
        "   4     2.000   200.00 0.80000E+05 0.21600E+06 0.20000E+01   0.350    2.00",
        "   5     2.000   200.00 0.80000E+05 0.21600E+06 0.20000E+01   0.350    2.00",
        "",
        "",
        "PILE PROPERTIES",
        " Elastic modulus of the pile,     EP =    0.25000E+08" + u(" (PSI)", " (kN/M2)"),
        " Poisson ratio of the pile, POISSONP =    0.250",
        " Mass density of the pile,      ROUP =    0.25000E+01" + u(" (LB-S2/IN4)", " (Mg/M3)"),
        " Moment of inertia of the pile,   IP =    0.49087E-02" + u(" (IN4)", " (M4)"),
        " Cross section area of the pile,  AP =    0.19635E+00" + u(" (IN2)", " (M2)"),
        " Radius of the pile,               R =    0.25000E+00" + u(" (IN)", " (M)"),
        " Length of the pile,               L =    0.50000E+01" + u(" (IN)", " (M)"),
        " Length/Diameter pile ratio      L/D =   10.000     ",
        " Damping ratio of the pile,    DAMPP =    2.000 (%)",
        "",
        "",
        "PILE ARRANGEMENT",
        "",
        "PILE NUMBER    X COORD.      Y COORD. ",
        u("                 (IN)          (IN)   ", "                 (M)           (M)    "),
        "     1        0.00000E+00   0.00000E+00",
        "     2        0.15000E+01  -0.25000E+00",
        "",
        "SUPERSTRUCTURE PROPERTIES",
        " BASE MASS=  0.10000E+03" + u(" (LB-S2/IN4)", " (Mg/M3)"),
        "  TOP MASS=  0.20000E+03" + u(" (LB-S2/IN4)", " (Mg/M3)"),
        "    SPRING=  0.30000E+05" + u(" (LB/IN)", " (kN/M)"),
        "   DAMPING=  0.50000E+01 (%)",
        "",
        "NUMBER OF FREQ =     2",
        "INITIAL FREQ   =     0.500 (HZ)",
        "INCREMENT FREQ =    12.500 (HZ)",
        "",
    };
    return lines;
}

} // namespace

TEST(ReportHead, ExactLinesInBothSystems)
{
    for (int units : {1, 2}) {
        SCOPED_TRACE(units == 1 ? "English" : "SI");
        TempDir dir;
        ProjectText p;
        p.title = "Head test: two layers";
        p.units = units;
        p.dampp = 0.02;
        p.piles = {{0.0, 0.0}, {1.5, -0.25}};
        p.baseMass = 100.0;
        p.topMass = 200.0;
        p.spring = 30000.0;
        p.damping = 0.05;
        p.freq0 = 0.5;
        p.dfreq = 12.5;
        writeFile(dir.file("p.kld"), p.text());
        writeFileList(dir.path(), "p");
        const auto run = runKdcalc(dir.path());
        const auto report = readLines(dir.file("p.klo"));
        const auto expected = expectedHead(units);
        ASSERT_GE(report.size(), expected.size()) << run.console;
        for (std::size_t i = 0; i < expected.size(); ++i)
            EXPECT_EQ(report[i], expected[i]) << "report line " << i + 1;
    }
}

TEST(ReportHead, TitleIsCutToEightyCharacters)
{
    TempDir dir;
    ProjectText p;
    p.title = std::string(79, 'T') + "XYZ";
    writeFile(dir.file("p.kld"), p.text());
    writeFileList(dir.path(), "p");
    runKdcalc(dir.path());
    const auto report = readLines(dir.file("p.klo"));
    ASSERT_GT(report.size(), 22u);
    EXPECT_EQ(report[22], std::string(79, 'T') + "X");
}
