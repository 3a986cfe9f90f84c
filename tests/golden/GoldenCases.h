#pragma once

// The golden cases: one folder each under tests/golden, holding the project
// file (the folder's only ".kld"), every file a run writes, as the current
// program wrote it after the checks of GoldenReferenceTest, and a README.

#include <string>
#include <vector>

namespace kdtest {

struct GoldenCase {
    const char* name;       // folder under tests/golden
    bool onePile;           // a single pile: every group result is the single pile's
    bool symmetricXY;       // layout symmetric under x <-> y: equal rocking about both axes
    bool superstructure;    // the structure and foundation transfer functions are written
    double undampedBelowHz; // soil and pile undamped: no imaginary stiffness below this frequency (0: not checked)
    bool mirrorRun;         // the mirrored, renumbered layout is run and must give the same results
    // Some written digits are roundoff (imaginary parts that are zero in
    // exact arithmetic): they differ between optimisation levels, so the
    // bytes are compared in Release builds (the references' build) only.
    bool roundoffDigits;
};

inline const std::vector<GoldenCase>& goldenCases()
{
    static const std::vector<GoldenCase> cases = {
        {"two-layer-group", false, true, true, 0.0, true, false},
        {"english-superstructure", false, false, true, 0.0, true, false},
        {"single-pile-40-sublayers", true, true, false, 0.0, false, false},
        {"undamped-profile", false, false, false, 7.0, true, true},
        {"one-layer-one-sublayer", true, false, false, 0.0, false, false},
        {"irregular-30-piles", false, false, true, 0.0, true, false},
    };
    return cases;
}

inline std::string goldenFolder(const std::string& name) { return std::string(KELDOR_GOLDEN_DIR) + "/" + name; }

// The case folder's project file name (without its folder).
std::string goldenProjectFile(const std::string& folder);
// Every file of the case folder that a run writes: all but the project file and README.md.
std::vector<std::string> goldenExpectedFiles(const std::string& folder);

} // namespace kdtest
