#include "ResultPlots.h"

#include "Misc.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// The value of record r (0-based within its frequency and block) of block b
// at frequency j: distinct for every place, so that a mix-up shows.
double re(int b, int r, int j) { return 1000.0 * b + 100.0 * r + j + 0.25; }
double im(int b, int r, int j) { return -(1000.0 * b + 100.0 * r + j + 0.5); }
double frequency(int j) { return 1.5 + 2.0 * j; }

// Lines as the analysis program writes them: E10.3 fields in blocks 1 and
// 2, the result line layout in blocks 3 and 4 (written here with more digits
// so that the values are exact).
std::string plotLine(double f, double a, double b)
{
    char buf[128];
    std::snprintf(buf, sizeof buf, " %10.4E %10.3E %10.6E %10.6E \n", f, 1.0, a, b);
    return buf;
}
std::string resultLine(double f, double a, double b)
{
    char buf[128];
    std::snprintf(buf, sizeof buf, "%8.3f      0.10000E+01 %13.6E %13.6E\n", f, a, b);
    return buf;
}

QByteArray plotFile(int n, int units)
{
    std::string s = "          " + std::to_string(n) + "           " + std::to_string(units) + "\n";
    for (int j = 0; j < n; ++j)
        for (int r = 0; r < 2; ++r)
            s += plotLine(frequency(j), re(1, r, j), im(1, r, j));
    for (int j = 0; j < n; ++j)
        s += plotLine(frequency(j), re(2, 0, j), im(2, 0, j));
    for (int j = 0; j < n; ++j)
        for (int r = 0; r < 4; ++r)
            s += resultLine(frequency(j), re(3, r, j), im(3, r, j));
    for (int j = 0; j < n; ++j)
        for (int r = 0; r < 2; ++r)
            s += resultLine(frequency(j), re(4, r, j), im(4, r, j));
    return QByteArray::fromStdString(s);
}

class ResultPlotsTest : public ::testing::Test {
protected:
    QString write(const QByteArray& contents)
    {
        const QString path = m_dir.filePath(QStringLiteral("r%1.klp").arg(m_count++));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contents);
        return path;
    }

    QTemporaryDir m_dir;
    int m_count = 0;
    TResultPlots plots;
};

} // namespace

TEST_F(ResultPlotsTest, EveryRecordReachesItsPlot)
{
    plots.Load(write(plotFile(3, 2)));
    const struct {
        const char* name;
        TGraphPlot* plot;
        int block;
        int record;
        bool real;
    } rows[] = {
        {"pltHorizs", &plots.pltHorizs, 1, 0, true},
        {"pltHorizsIMG", &plots.pltHorizsIMG, 1, 0, false},
        {"pltSkin", &plots.pltSkin, 1, 1, true},
        {"pltHortGroupImg", &plots.pltHortGroupImg, 1, 1, false},
        {"pltTip", &plots.pltTip, 2, 0, true},
        {"pltCombine", &plots.pltCombine, 3, 0, true},
        {"pltVertStiffSigImg", &plots.pltVertStiffSigImg, 3, 0, false},
        {"pltTotal", &plots.pltTotal, 3, 1, true},
        {"pltVertGroupIMG", &plots.pltVertGroupIMG, 3, 1, false},
        // Formed with the x coordinates (DKGRX): the plots captioned Y-Dir.
        {"pltLoad", &plots.pltLoad, 3, 2, true},
        {"pltMomYIMG", &plots.pltMomYIMG, 3, 2, false},
        {"pltAxial", &plots.pltAxial, 3, 3, true},
        {"pltMomXImg", &plots.pltMomXImg, 3, 3, false},
        {"pltVfactor", &plots.pltVfactor, 4, 1, true},
    };
    EXPECT_EQ(std::size(rows), plots.All().size());
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_EQ(row.plot->LineCount(), 1);
        ASSERT_EQ(row.plot->PointCount(), 3);
        EXPECT_EQ(row.plot->Units(), 2);
        for (int j = 0; j < 3; ++j) {
            SCOPED_TRACE(j);
            EXPECT_NEAR(static_cast<double>(row.plot->Point(0, j).X), frequency(j), 1e-9);
            const double expected = row.real ? re(row.block, row.record, j) : im(row.block, row.record, j);
            EXPECT_NEAR(static_cast<double>(row.plot->Point(0, j).Y), expected, 1e-6 * std::abs(expected));
        }
    }
    EXPECT_NE(plots.pltLoad.Caption.indexOf("Y-Dir."), -1);
    EXPECT_NE(plots.pltAxial.Caption.indexOf("X-Dir."), -1);
}

TEST_F(ResultPlotsTest, CaptionsAndUnitsOfThePlots)
{
    plots.Load(write(plotFile(1, 2)));
    const struct {
        TGraphPlot* plot;
        const char* yCaption;
    } rows[] = {
        {&plots.pltSkin, "Horizontal Stiffness (Real Part) (kN/m)"},
        {&plots.pltVertGroupIMG, "Vertical Stiffness (Imaginary Part) (kN/m)"},
        {&plots.pltAxial, "Rocking Stiffness (X-Dir., Real Part) (kN-m/Radian)"},
        {&plots.pltMomYIMG, "Rocking Stiffness (Y-Dir., Imaginary Part) (kN-m/Radian)"},
        {&plots.pltCombine, "Vertical Stiffness of Single Pile (Real Part) (kN/m)"},
        {&plots.pltTip, "Group Factor on Horizontal Stiffness"},
        {&plots.pltVfactor, "Group Factor on Vertical Stiffness"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.yCaption);
        EXPECT_EQ(row.plot->YAxisCaption(), row.yCaption);
        EXPECT_EQ(row.plot->XAxisCaption(), "Frequency (Hz)");
        EXPECT_FALSE(row.plot->XOnTop);
    }
    EXPECT_EQ(plots.pltCombine.Lines(0).GetName(), "#1");
    EXPECT_EQ(plots.pltSkin.Lines(0).GetName(), "Curve #1");
    plots.Load(write(plotFile(1, 1)));
    EXPECT_EQ(plots.pltAxial.YAxisCaption(), "Rocking Stiffness (X-Dir., Real Part) (lbs-in/Radian)");

    const auto entries = plots.MenuEntries();
    ASSERT_EQ(entries.size(), 16u);
    EXPECT_EQ(entries[0].Caption, "&Horizontal Stiffness of Group Piles (Real Part)");
    EXPECT_EQ(entries[8].Plot, nullptr);
    EXPECT_EQ(entries[13].Plot, nullptr);
    EXPECT_EQ(entries[15].Plot, &plots.pltVfactor);
}

TEST_F(ResultPlotsTest, AFileThatCannotBeReadWholeChangesNoPlot)
{
    plots.Load(write(plotFile(2, 1)));
    int announced = 0;
    for (TGraphPlot* p : plots.All())
        QObject::connect(p, &TGraphPlot::dataChanged, [&announced] { ++announced; });

    const QByteArray good = plotFile(3, 2);
    const struct {
        const char* name;
        QByteArray text;
    } rows[] = {
        {"cut inside block 4", good.left(good.size() - 20)},
        {"cut after the count", good.left(good.indexOf('\n') + 1)},
        {"asterisks for a frequency", QByteArray(good).replace("   5.500  ", "********  ")},
        {"101 frequencies", plotFile(101, 1)},
        {"a negative count", QByteArray(good).replace("          3           2", "-3 2")},
        {"units 3", QByteArray(good).replace("          3           2", "3 3")},
        {"an empty file", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_THROW(plots.Load(write(row.text)), EInOutError);
        for (TGraphPlot* p : plots.All()) {
            ASSERT_EQ(p->PointCount(), 2);
            EXPECT_EQ(p->Units(), 1);
        }
        EXPECT_NEAR(static_cast<double>(plots.pltSkin.Point(0, 1).Y), re(1, 1, 1), 1e-6 * re(1, 1, 1));
    }
    EXPECT_EQ(announced, 0);
    EXPECT_THROW(plots.Load(m_dir.filePath("missing.klp")), EInOutError);

    // A hundred frequencies are read; each plot announces its new data once.
    plots.Load(write(plotFile(100, 2)));
    EXPECT_EQ(plots.pltTip.PointCount(), 100);
    EXPECT_EQ(announced, 14);
}

TEST_F(ResultPlotsTest, ZeroFrequenciesGiveEmptyCurves)
{
    plots.Load(write(plotFile(0, 2)));
    for (TGraphPlot* p : plots.All()) {
        EXPECT_EQ(p->LineCount(), 1);
        EXPECT_EQ(p->PointCount(), 0);
    }
}
