#include "ResultPlots.h"

#include "InputLimits.h"
#include "Misc.h"
#include "NumberText.h"
#include "WordRead.h"

#include <QDir>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

void describe(TGraphPlot& plot, const char* caption, const char* yCaption, const char* yUnits)
{
    plot.Caption = QString::fromLatin1(caption);
    plot.YCaption = QString::fromLatin1(yCaption ? yCaption : caption);
    plot.YUnits = QString::fromLatin1(yUnits);
    plot.XCaption = QStringLiteral("Frequency (Hz)");
    plot.XOnTop = false;
    plot.CurveName = QStringLiteral("Curve #");
    plot.ShowLegend = true;
    plot.Markers = 1;
}

void setCurve(TGraphPlot& plot, const std::vector<PlotRecord>& records, Extended PlotRecord::*part)
{
    for (std::size_t j = 0; j < records.size(); ++j) {
        TFloatPoint& p = plot.Point(0, static_cast<int>(j));
        p.X = records[j].Frequency;
        p.Y = records[j].*part;
    }
}

} // namespace

namespace {

// Reads the plot data file record by record (a record is a line with words;
// lines without words are passed over) and checks everything its layout
// fixes, so that a damaged file is never taken for results.
class PlotDataReader {
public:
    explicit PlotDataReader(const QString& path) : m_path(path), m_reader(path) {}

    ParsedPlotData read()
    {
        ParsedPlotData data;
        readHeader(data);
        const int n = data.Count;
        m_expected = 1 + 9 * n;
        m_reference.resize(static_cast<std::size_t>(n));
        for (int j = 0; j < n; ++j) {
            data.SingleHorizontal.push_back(record(j, Field::Exponent, true));
            data.GroupHorizontal.push_back(record(j, Field::Exponent));
        }
        for (int j = 0; j < n; ++j)
            data.HorizontalFactor.push_back(record(j, Field::Exponent));
        for (int j = 0; j < n; ++j) {
            data.SingleVertical.push_back(record(j, Field::Fixed));
            data.GroupVertical.push_back(record(j, Field::Fixed));
            data.GroupRockingFromX.push_back(record(j, Field::Fixed));
            data.GroupRockingFromY.push_back(record(j, Field::Fixed));
        }
        for (int j = 0; j < n; ++j) {
            data.RockingFactor.push_back(record(j, Field::Fixed));
            data.VerticalFactor.push_back(record(j, Field::Fixed));
        }
        if (const int line = nextRecordLine(); line >= 0)
            throw EInOutError(QStringLiteral("Record %1 (line %2) of the plot data file %3 is one too many: %4 "
                                             "frequencies need %5 records.")
                                  .arg(m_records + 1)
                                  .arg(line + 1)
                                  .arg(shownPath())
                                  .arg(n)
                                  .arg(m_expected));
        return data;
    }

private:
    // How the analysis program writes the frequency of a record: an exponent
    // field with three digits after the point (blocks 1 and 2) or a fixed
    // field with three decimals (blocks 3 and 4).
    enum class Field { Exponent, Fixed };

    QString shownPath() const { return QDir::toNativeSeparators(m_path); }

    [[noreturn]] void fail(const QString& what) const
    {
        throw EInOutError(QStringLiteral("Record %1 (line %2) of the plot data file %3: %4")
                              .arg(m_records)
                              .arg(m_line + 1)
                              .arg(shownPath(), what));
    }

    // Index of the next line with words, or -1 at the end of the file.
    int nextRecordLine()
    {
        int line = m_nextLine;
        while (line < m_reader.LineCount() && m_reader.Line(line).Words.isEmpty())
            ++line;
        return line < m_reader.LineCount() ? line : -1;
    }

    // The words of the next record, which must hold `count` values.
    QStringList nextRecord(int count, const QString& expected)
    {
        const int line = nextRecordLine();
        if (line < 0 && m_records == 0)
            throw EInOutError(QStringLiteral("The plot data file %1 holds no record.").arg(shownPath()));
        if (line < 0)
            throw EInOutError(QStringLiteral("The plot data file %1 ends after record %2: %3 records were expected.")
                                  .arg(shownPath())
                                  .arg(m_records)
                                  .arg(m_expected));
        m_line = line;
        m_nextLine = line + 1;
        ++m_records;
        const QStringList& words = m_reader.Line(line).Words;
        if (words.size() != count)
            fail(QStringLiteral("%1 were expected, %2 found.").arg(expected).arg(words.size()));
        return words;
    }

    // Value `index` (0-based) of the record: a number within the range of
    // the analysis program's numbers (doubles).
    Extended value(const QStringList& words, int index) const
    {
        Extended v = 0.0L;
        if (!parseNumber(words[index], u'.', v) || !(std::fabs(v) <= std::numeric_limits<double>::max()))
            fail(QStringLiteral("value %1 (\"%2\") is not a finite number.").arg(index + 1).arg(words[index]));
        return v;
    }

    void readHeader(ParsedPlotData& data)
    {
        const QStringList words = nextRecord(2, QStringLiteral("two numbers (frequencies and units)"));
        const Extended count = value(words, 0);
        if (count != std::trunc(count) || count < 0 || count > kd::kMaxFrequencies)
            fail(QStringLiteral("a number of frequencies from 0 to %1 was expected, \"%2\" found.")
                     .arg(kd::kMaxFrequencies)
                     .arg(words[0]));
        const Extended units = value(words, 1);
        if (units != 1 && units != 2)
            fail(QStringLiteral("the units 1 or 2 were expected, \"%1\" found.").arg(words[1]));
        data.Count = static_cast<int>(count);
        data.Units = static_cast<int>(units);
    }

    // Half the last digit of a frequency as its field writes it.
    static Extended halfDigit(Extended f, Field field)
    {
        if (field == Field::Fixed || f == 0.0L)
            return 0.0005L;
        // 0.ddd x 10^e: the last digit is 10^(e - 3).
        const Extended e = std::floor(std::log10(std::fabs(f))) + 1.0L;
        return 0.5L * std::pow(10.0L, e - 3.0L);
    }

    // One data record of frequency j. The first record of a frequency fixes
    // it; every later one must agree with it within the rounding of the two
    // fields, so that a record out of place is found where it stands.
    PlotRecord record(int j, Field field, bool first = false)
    {
        const QStringList words = nextRecord(4, QStringLiteral("four numbers"));
        PlotRecord r;
        r.Frequency = value(words, 0);
        r.One = value(words, 1);
        r.Re = value(words, 2);
        r.Im = value(words, 3);
        if (r.One != 1.0L)
            fail(QStringLiteral("the second value is %1 where 1.0 was expected.").arg(words[1]));
        Reference& ref = m_reference[static_cast<std::size_t>(j)];
        if (first) {
            ref = {r.Frequency, field, m_records};
        } else {
            const Extended tolerance = halfDigit(ref.frequency, ref.field) + halfDigit(r.Frequency, field)
                                       + 1e-12L * std::max(std::fabs(ref.frequency), std::fabs(r.Frequency));
            if (!(std::fabs(r.Frequency - ref.frequency) <= tolerance))
                fail(QStringLiteral("its frequency %1 does not agree with %2 of record %3.")
                         .arg(words[0], generalNumberText(ref.frequency, 15, u'.', 0))
                         .arg(ref.record));
        }
        return r;
    }

    struct Reference {
        Extended frequency = 0.0L;
        Field field = Field::Exponent;
        int record = 0;
    };

    QString m_path;
    TWordReader m_reader;
    std::vector<Reference> m_reference;
    int m_expected = 0;
    int m_records = 0; // records read so far, and the number of the current one
    int m_line = 0;    // its line (0-based)
    int m_nextLine = 0;
};

} // namespace

ParsedPlotData ReadPlotDataFile(const QString& path)
{
    return PlotDataReader(path).read();
}

ResultPlots::ResultPlots(QObject* owner)
{
    for (TGraphPlot* plot : All())
        plot->setParent(owner);
    describe(pltSkin, "Horizontal Stiffness of Group Piles (Real Part)", "Horizontal Stiffness (Real Part)", "F/L");
    describe(pltHortGroupImg, "Horizontal Stiffness of Group Piles (Imaginary Part)",
             "Horizontal Stiffness (Imaginary Part)", "F/L");
    describe(pltTotal, "Vertical Stiffness of Group Piles", "Vertical Stiffness (Real Part)", "F/L");
    describe(pltVertGroupIMG, "Vertical Stiffness of Group Piles", "Vertical Stiffness (Imaginary Part)", "F/L");
    describe(pltAxial, "Rocking Stiffness (X-Dir., Real Part)", nullptr, "F-L/Radian");
    describe(pltMomXImg, "Rocking Stiffness (X-Dir., Imaginary Part)", nullptr, "F-L/Radian");
    describe(pltLoad, "Rocking Stiffness (Y-Dir., Real Part)", nullptr, "F-L/Radian");
    describe(pltMomYIMG, "Rocking Stiffness (Y-Dir., Imaginary Part)", nullptr, "F-L/Radian");
    describe(pltHorizs, "Horizontal Stiffness of Single Pile (Real Part)", nullptr, "F/L");
    describe(pltHorizsIMG, "Horizontal Stiffness of Single Pile (Imaginary Part)", nullptr, "F/L");
    describe(pltCombine, "Axial Stiffness of Single Pile (Real Part)", "Vertical Stiffness of Single Pile (Real Part)",
             "F/L");
    pltCombine.CurveName = QStringLiteral("#");
    describe(pltVertStiffSigImg, "Axial Stiffness of Single Pile (Imaginary Part)",
             "Vertical Stiffness of Single Pile (Imaginary Part)", "F/L");
    describe(pltTip, "Group Factor on Horizontal Stiffness", nullptr, "");
    describe(pltVfactor, "Group Factor on Vertical Stiffness", nullptr, "");
}

std::vector<ResultPlots::MenuEntry> ResultPlots::MenuEntries()
{
    return {
        {QStringLiteral("&Horizontal Stiffness of Group Piles (Real Part)"), &pltSkin},
        {QStringLiteral("Horizontal Stiffness of Group Piles (Imaginary Part)"), &pltHortGroupImg},
        {QStringLiteral("&Vertical Stiffness of Group Piles (Real Part)"), &pltTotal},
        {QStringLiteral("Vertical Stiffness of Group Piles (Imaginary Part)"), &pltVertGroupIMG},
        {QStringLiteral("Rocking Stiffness of Group Piles (X-Dir., Real Part)"), &pltAxial},
        {QStringLiteral("Rocking Stiffness of Group Piles (X-Dir., Imaginary Part)"), &pltMomXImg},
        {QStringLiteral("&Rocking Stiffness of Group Piles (Y-Dir., Real Part)"), &pltLoad},
        {QStringLiteral("Rocking Stiffness of Group Piles (Y-Dir., Imaginary Part)"), &pltMomYIMG},
        {QString(), nullptr},
        {QStringLiteral("Horizontal Stiffness of Single Pile (Real Part)"), &pltHorizs},
        {QStringLiteral("Horizontal Stiffness of Single Pile (Imaginary Part)"), &pltHorizsIMG},
        {QStringLiteral("Vertical Stiffness of Single Pile (Real Part)"), &pltCombine},
        {QStringLiteral("Vertical Stiffness of Single Pile (Imaginary Part)"), &pltVertStiffSigImg},
        {QString(), nullptr},
        {QStringLiteral("Group Reduction Factor on Horizontal Stiffness"), &pltTip},
        {QStringLiteral("Group Reduction Factor on Vertical Stiffness"), &pltVfactor},
    };
}

std::vector<TGraphPlot*> ResultPlots::All()
{
    std::vector<TGraphPlot*> plots;
    for (const MenuEntry& e : MenuEntries())
        if (e.Plot)
            plots.push_back(e.Plot);
    return plots;
}

void ResultPlots::SetFormFactory(const TGraphPlot::WindowFactory& factory)
{
    for (TGraphPlot* plot : All())
        plot->SetFormFactory(factory);
}

void ResultPlots::SetFileFolder(const QString& folder)
{
    for (TGraphPlot* plot : All())
        plot->FileFolder = folder;
}

void ResultPlots::Assign(const ParsedPlotData& data)
{
    struct Curve {
        TGraphPlot* plot;
        const std::vector<PlotRecord>* records;
        Extended PlotRecord::*part;
    };
    // The rocking stiffness formed with the x coordinates (DKGRX) is the
    // rotation about the y axis: it goes to the plots captioned "Y-Dir.".
    const Curve curves[] = {
        {&pltHorizs, &data.SingleHorizontal, &PlotRecord::Re},
        {&pltHorizsIMG, &data.SingleHorizontal, &PlotRecord::Im},
        {&pltSkin, &data.GroupHorizontal, &PlotRecord::Re},
        {&pltHortGroupImg, &data.GroupHorizontal, &PlotRecord::Im},
        {&pltTip, &data.HorizontalFactor, &PlotRecord::Re},
        {&pltCombine, &data.SingleVertical, &PlotRecord::Re},
        {&pltVertStiffSigImg, &data.SingleVertical, &PlotRecord::Im},
        {&pltTotal, &data.GroupVertical, &PlotRecord::Re},
        {&pltVertGroupIMG, &data.GroupVertical, &PlotRecord::Im},
        {&pltLoad, &data.GroupRockingFromX, &PlotRecord::Re},
        {&pltMomYIMG, &data.GroupRockingFromX, &PlotRecord::Im},
        {&pltAxial, &data.GroupRockingFromY, &PlotRecord::Re},
        {&pltMomXImg, &data.GroupRockingFromY, &PlotRecord::Im},
        {&pltVfactor, &data.VerticalFactor, &PlotRecord::Re},
    };
    for (const Curve& c : curves) {
        c.plot->BeginUpdate();
        c.plot->SetLineCount(1);
        c.plot->SetPointCount(data.Count);
        setCurve(*c.plot, *c.records, c.part);
        c.plot->SetUnits(data.Units);
        c.plot->EndUpdate();
    }
}

void ResultPlots::Load(const QString& path)
{
    Assign(ReadPlotDataFile(path));
}
