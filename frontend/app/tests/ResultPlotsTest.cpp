#include "ResultPlots.h"

#include "Misc.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
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
    ResultPlots plots;
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

namespace {

// The lines of a good file of two frequencies (19 records), to be damaged.
QList<QByteArray> goodLines() { return plotFile(2, 2).split('\n').mid(0, 19); }
QByteArray joined(const QList<QByteArray>& lines) { return lines.join('\n') + '\n'; }

// The words of line i (0-based) with word w replaced.
QByteArray withWord(const QByteArray& line, int w, const QByteArray& word)
{
    QList<QByteArray> words = line.simplified().split(' ');
    words[w] = word;
    return words.join(' ');
}

} // namespace

TEST_F(ResultPlotsTest, ADamagedFileIsRefusedNamingItsRecord)
{
    plots.Load(write(plotFile(3, 1)));
    auto damaged = [](const std::function<void(QList<QByteArray>&)>& change) {
        QList<QByteArray> lines = goodLines();
        change(lines);
        return joined(lines);
    };
    const struct {
        const char* name;
        QByteArray text;
        const char* record; // the record named, with its line
        const char* what;
    } rows[] = {
        // Read as one frequency, the second frequency's first record stands
        // where the horizontal group factor belongs.
        {"a count of 1 on two frequencies", damaged([](auto& l) { l[0] = "1 2"; }), "Record 4 (line 4)",
         "does not agree with 1.5 of record 2"},
        {"a duplicated line", damaged([](auto& l) { l.insert(2, l[2]); }), "Record 5 (line 5)", "does not agree"},
        {"a deleted line", damaged([](auto& l) { l.removeAt(4); }), "Record 5 (line 5)", "does not agree"},
        {"an extra value on every line",
         damaged([](auto& l) {
             for (int i = 1; i < l.size(); ++i)
                 l[i] += " 7.0";
         }),
         "Record 2 (line 2)", "four numbers were expected, 5 found"},
        {"an extra value in block 3", damaged([](auto& l) { l[9] += " 7.0"; }), "Record 10 (line 10)",
         "four numbers were expected, 5 found"},
        {"a value missing in block 4", damaged([](auto& l) { l[17] = withWord(l[17], 3, "").trimmed(); }),
         "Record 18 (line 18)", "four numbers were expected, 3 found"},
        {"a value beyond a double", damaged([](auto& l) { l[6] = withWord(l[6], 2, "1e4000"); }),
         "Record 7 (line 7)", "value 3 (\"1e4000\") is not a finite number"},
        {"a word that is no number", damaged([](auto& l) { l[12] = withWord(l[12], 3, "-0.1234E+0x"); }),
         "Record 13 (line 13)", "value 4"},
        {"a second value other than 1.0", damaged([](auto& l) { l[8] = withWord(l[8], 1, "2.0"); }),
         "Record 9 (line 9)", "the second value is 2.0 where 1.0 was expected"},
        {"records of two frequencies swapped in block 3", damaged([](auto& l) { std::swap(l[8], l[12]); }),
         "Record 9 (line 9)", "does not agree with 1.5 of record 2"},
        {"a frequency changed in block 4", damaged([](auto& l) { l[18] = withWord(l[18], 0, "3.600"); }),
         "Record 19 (line 19)", "its frequency 3.600 does not agree with 3.5 of record 4"},
        {"one record too many", damaged([](auto& l) { l.append(l[18]); }), "Record 20 (line 20)",
         "is one too many: 2 frequencies need 19 records"},
        {"the last record missing", damaged([](auto& l) { l.removeLast(); }), "ends after record 18",
         "19 records were expected"},
        {"three values in record 1", damaged([](auto& l) { l[0] = "2 2 0"; }), "Record 1 (line 1)",
         "two numbers (frequencies and units) were expected, 3 found"},
        {"a fractional count", damaged([](auto& l) { l[0] = "1.5 2"; }), "Record 1 (line 1)",
         "a number of frequencies from 0 to 100 was expected, \"1.5\" found"},
        {"units 0", damaged([](auto& l) { l[0] = "2 0"; }), "Record 1 (line 1)", "the units 1 or 2 were expected"},
        {"an empty file", "", "holds no record", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QString path = write(row.text);
        try {
            plots.Load(path);
            ADD_FAILURE() << "read as good";
        } catch (const EInOutError& e) {
            const QString m = e.Message();
            EXPECT_TRUE(m.contains(row.record)) << m.toStdString();
            EXPECT_TRUE(m.contains(row.what)) << m.toStdString();
            EXPECT_TRUE(m.contains(QDir::toNativeSeparators(path))) << m.toStdString();
        }
        // Nothing of the damaged file reached a plot.
        for (TGraphPlot* p : plots.All()) {
            ASSERT_EQ(p->PointCount(), 3);
            EXPECT_EQ(p->Units(), 1);
        }
    }
}

TEST_F(ResultPlotsTest, WhatTheLayoutLeavesOpenIsRead)
{
    // Lines without words hold no record; record 1 may be written in any
    // blank-separated form; the frequencies of blocks 3 and 4 have three
    // decimals where blocks 1 and 2 have four digits, and still agree.
    QList<QByteArray> lines = goodLines();
    lines[0] = "2\t2";
    lines.insert(5, "   ");
    lines.insert(1, "");
    plots.Load(write(joined(lines)));
    EXPECT_EQ(plots.pltVfactor.PointCount(), 2);
    EXPECT_EQ(plots.pltVfactor.Units(), 2);

    // A frequency whose two fields round differently: 12.3456 written as
    // 0.123E+02 and as 12.346.
    QByteArray text = "1 1\n";
    for (int r = 0; r < 3; ++r)
        text += " 0.123E+02  0.100E+01  0.500E+03 -0.100E+01 \n";
    for (int r = 0; r < 6; ++r)
        text += "  12.346      0.10000E+01  0.50000E+03 -0.10000E+01\n";
    plots.Load(write(text));
    EXPECT_NEAR(static_cast<double>(plots.pltTotal.Point(0, 0).X), 12.346, 1e-12);
    EXPECT_NEAR(static_cast<double>(plots.pltSkin.Point(0, 0).X), 12.3, 1e-12);
}
