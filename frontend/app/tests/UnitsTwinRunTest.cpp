// One project in SI and its English twin, converted and saved as keldor does
// after Data > Units > English and Save, both run through kdcalc: the same
// pile model and the same results within their printed digits.

#include "DataUnit.h"
#include "KdcalcRun.h"
#include "ProjectText.h"
#include "TempDir.h"

#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>

using namespace kdtest;

namespace {

// The factors of the project model: 1 m = 39.37007874 in, 1 kN = 224.8089237 lb.
constexpr double kInPerM = 39.37007874;
constexpr double kLbPerKn = 224.8089237;

struct Printed {
    double value;
    double halfDigit;  // half a unit of its last printed digit
};

// The values of one result line after the frequency, with what their digits say.
std::vector<Printed> printedValues(const std::string& line)
{
    std::vector<Printed> out;
    std::istringstream words(line.substr(line.size() < 14 ? line.size() : 14));
    for (std::string w; words >> w;) {
        const std::size_t e = w.find('E');
        const std::size_t point = w.find('.');
        const int exponent = std::atoi(w.c_str() + e + 1);
        const int decimals = static_cast<int>(e - point - 1);
        out.push_back({std::strtod(w.c_str(), nullptr), 0.5 * std::pow(10.0, exponent - decimals)});
    }
    return out;
}

// Runs kdcalc on the project text in a folder of its own; the result files stay there.
void runProject(const TempDir& dir, const std::string& text)
{
    writeFile(dir.file("p.kld"), text);
    kdtest::writeFileList(dir.path(), "p");
    const RunResult run = runKdcalc(dir.path());
    ASSERT_EQ(run.status, 0) << run.console;
}

} // namespace

TEST(UnitsTwinRun, TheEnglishTwinModelsTheSamePileAndGivesTheSameResults)
{
    // One layer of 10 m in 5 sublayers and a pile of 5 m: its tip lies at
    // the middle of the third sublayer, a tie that the English lengths
    // (393.70079 in / 5 and 196.85039 in) reach only to their eighth digit.
    ProjectText si;
    si.layers = {{5, 10.0, 150.0, 0.4, 1.8, 0.05}};
    si.ep = 3e7;
    si.ip = 0.0030679616;
    si.ap = 0.19634954;
    si.r = 0.25;
    si.dampp = 0.01;
    si.length = 5.0;
    si.piles = {{0.0, 0.0}};
    si.baseMass = 200.0;
    si.topMass = 500.0;
    si.spring = 200000.0;
    si.damping = 0.05;
    si.nfreq = 4;
    si.freq0 = 0.5;
    si.dfreq = 5.0;

    TempDir siDir, englishDir;
    runProject(siDir, si.text());

    ProjectTables tables;
    QString readError;
    auto data = TProgramData::CreateFromFile(QString::fromStdString(siDir.file("p.kld")), true, tables, readError);
    ASSERT_TRUE(readError.isEmpty()) << readError.toStdString();
    data->SetUnits(1, tables);
    const QString englishPath = QString::fromStdString(englishDir.file("p.kld"));
    data->SaveTo(englishPath, tables);
    const std::string english = readFile(englishDir.file("p.kld"));
    ASSERT_NE(english.find("\r\n5 393.70079 "), std::string::npos) << english;
    ASSERT_NE(english.find("\r\n196.85039\r\n"), std::string::npos) << english;
    runProject(englishDir, english);

    struct File {
        const char* name;
        double factor;  // English value per SI value
    };
    const double stiffness = kLbPerKn / kInPerM;
    const double rocking = kLbPerKn * kInPerM;
    const File files[] = {
        {"STSNGKHH.CBM", stiffness}, {"STGRPKHH.CBM", stiffness}, {"STSNGKVV.CBM", stiffness},
        {"STGRPKVV.CBM", stiffness}, {"STGRPKRX.CBM", rocking},   {"STGRPKRY.CBM", rocking},
        {"RTSNGKHH.CBM", 1.0},       {"RTGRPKHH.CBM", 1.0},       {"RTSNGKVV.CBM", 1.0},
        {"RTGRPKVV.CBM", 1.0},       {"RTGRPKRX.CBM", 1.0},       {"RTGRPKRY.CBM", 1.0},
        {"TRNPLSSW.CBM", 1.0},       {"TRNPLGSW.CBM", 1.0},       {"TRNFDSSW.CBM", 1.0},
        {"TRNFDGSW.CBM", 1.0},       {"TRNSTSSW.CBM", 1.0},       {"TRNSTGSW.CBM", 1.0},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        const auto siLines = readLines(siDir.file(f.name));
        const auto englishLines = readLines(englishDir.file(f.name));
        ASSERT_EQ(siLines.size(), 3u + si.nfreq);
        ASSERT_EQ(englishLines.size(), siLines.size());
        for (std::size_t i = 3; i < siLines.size(); ++i) {
            SCOPED_TRACE(siLines[i] + " | " + englishLines[i]);
            EXPECT_EQ(siLines[i].substr(0, 8), englishLines[i].substr(0, 8));
            const auto a = printedValues(siLines[i]);
            const auto b = printedValues(englishLines[i]);
            ASSERT_EQ(a.size(), b.size());
            for (std::size_t k = 0; k < a.size(); ++k)
                EXPECT_LE(std::fabs(a[k].value * f.factor - b[k].value),
                          a[k].halfDigit * std::fabs(f.factor) + b[k].halfDigit);
        }
    }
}
