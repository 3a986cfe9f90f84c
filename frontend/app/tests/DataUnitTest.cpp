#include "DataUnit.h"

#include "Misc.h"
#include "Table.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

class ProjectFileTest : public ::testing::Test {
protected:
    QString write(const QByteArray& contents, const QString& name = QString())
    {
        const QString path = m_dir.filePath(name.isEmpty() ? QStringLiteral("p%1.kld").arg(m_count++) : name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contents);
        return path;
    }
    static QByteArray readAll(const QString& path)
    {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }
    std::unique_ptr<TProgramData> open(const QString& path, bool layout20 = true)
    {
        return TProgramData::CreateFromFile(path, layout20, tables, readError);
    }
    static Extended cell(const TGridTable& t, int col, int row) { return t.Cells(col, row)->GetFloat(); }

    QTemporaryDir m_dir;
    int m_count = 0;
    ProjectTables tables;
    QString readError;
};

// A complete 2.0 project: two layers, two piles, every value different.
const QByteArray kTwoLayers = "Two layers\r\n"
                              "2 \r\n"
                              "2\r\n"
                              "4 6 150 0.4 1.8 0.05\r\n"
                              "5 10 250 0.35 1.9 0.03\r\n"
                              "30000000 0.0063617251 0.28274334 0.25 0.3 2.5 0.01\r\n"
                              "12\r\n"
                              "2\r\n"
                              "-0.9 0 \r\n"
                              "0.9 0 \r\n"
                              "200 500 200000 0.05\r\n"
                              "11 0.5 2\r\n";

} // namespace

TEST_F(ProjectFileTest, NewProjectDefaultsAndItsExactBytes)
{
    const auto data = TProgramData::Create(tables);
    EXPECT_EQ(data->FileName, "NewPile.kld");
    EXPECT_EQ(data->Title, "New Pile");
    EXPECT_EQ(data->Units, 1);
    EXPECT_EQ(data->PileLength, 0.0L);
    EXPECT_EQ(data->FrequencyCount, 0);
    ASSERT_EQ(tables.D().RowCount(), 1);
    EXPECT_EQ(tables.D().Cells(1, 0)->GetInt(), 20);
    EXPECT_EQ(tables.D().Identifier(), 13);
    EXPECT_EQ(tables.PileCoord().RowCount(), 1);
    EXPECT_EQ(tables.PileCoord().MaxRows, 2000);
    EXPECT_FALSE(tables.IsModified());
    EXPECT_EQ(data->FileText(tables), QByteArray("New Pile\r\n"
                                                 "1 \r\n"
                                                 "1\r\n"
                                                 "20 0 0 0 0 0\r\n"
                                                 "0 0 0 0 0 0 0\r\n"
                                                 "0\r\n"
                                                 "1\r\n"
                                                 "0 0 \r\n"
                                                 "0 0 0 0\r\n"
                                                 "0 0 0\r\n"));
}

TEST_F(ProjectFileTest, ANewProjectEmptiesTheTablesOfTheOldOne)
{
    auto old = open(write(kTwoLayers));
    ASSERT_EQ(tables.D().RowCount(), 2);
    const auto data = TProgramData::Create(tables);
    EXPECT_EQ(tables.D().RowCount(), 1);
    EXPECT_EQ(tables.D().Units(), 1);
    EXPECT_EQ(cell(tables.D(), 0, 0), 0.0L);
    EXPECT_EQ(tables.PileCoord().RowCount(), 1);
    EXPECT_EQ(cell(tables.PileCoord(), 0, 0), 0.0L);
}

TEST_F(ProjectFileTest, ReadsEveryRecordAsStoredInItsUnits)
{
    const auto data = open(write(kTwoLayers));
    EXPECT_TRUE(readError.isEmpty()) << readError.toStdString();
    EXPECT_EQ(data->Title, "Two layers");
    EXPECT_EQ(data->Units, 2);
    EXPECT_EQ(tables.D().Units(), 2);
    EXPECT_EQ(tables.PileCoord().Units(), 2);
    ASSERT_EQ(tables.D().RowCount(), 2);
    EXPECT_EQ(tables.D().Cells(1, 1)->GetInt(), 5);
    EXPECT_EQ(cell(tables.D(), 0, 1), 10.0L);
    EXPECT_EQ(cell(tables.D(), 2, 1), 250.0L);
    EXPECT_EQ(cell(tables.D(), 5, 0), 0.05L);
    EXPECT_EQ(data->PileModulus, 30000000.0L);
    EXPECT_EQ(data->PileDamping, 0.01L);
    EXPECT_EQ(data->PileLength, 12.0L);
    ASSERT_EQ(tables.PileCoord().RowCount(), 2);
    EXPECT_EQ(cell(tables.PileCoord(), 0, 0), -0.9L);
    EXPECT_EQ(data->HorizontalSpring, 200000.0L);
    EXPECT_EQ(data->FrequencyCount, 11);
    EXPECT_EQ(data->InitialFrequency, 0.5L);
    EXPECT_EQ(data->FrequencyIncrement, 2.0L);
    EXPECT_FALSE(tables.IsModified());
    // Written back, it is the same file.
    EXPECT_EQ(data->FileText(tables), kTwoLayers);
}

TEST_F(ProjectFileTest, SaveAndReopenKeepEveryValueAndTheTitleAsIs)
{
    auto data = TProgramData::Create(tables);
    data->Title = "  A title with blanks  ";
    data->PileModulus = 1.23456789L;
    data->PileInertia = 0.00001L;
    data->PileArea = 123456789.0L;
    data->PileRadius = 2.5L;
    data->PileLength = 100.0L;
    data->StructureDamping = -0.0005L;
    data->FrequencyCount = 3;
    tables.D().SetRowCount(3);
    tables.D().Cells(1, 2)->SetInt(7);
    tables.D().Cells(4, 2)->SetFloat(1.75L);
    tables.PileCoord().SetRowCount(2);
    tables.PileCoord().Cells(1, 1)->SetFloat(-3.25L);
    data->FileName = m_dir.filePath("round.kld");
    data->Save(tables);

    const QByteArray saved = readAll(data->FileName);
    EXPECT_TRUE(saved.startsWith("  A title with blanks  \r\n1 \r\n3\r\n"));
    EXPECT_TRUE(saved.contains("\r\n1.2345679 1E-5 1.2345679E8 0 2.5 0 0\r\n100\r\n"));
    EXPECT_TRUE(saved.contains("\r\n0 0 0 -0.0005\r\n3 0 0\r\n"));

    ProjectTables other;
    QString error;
    const auto back = TProgramData::CreateFromFile(data->FileName, true, other, error);
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(back->Title, data->Title);
    EXPECT_EQ(back->PileModulus, 1.2345679L);
    EXPECT_EQ(back->PileInertia, 0.00001L);
    EXPECT_EQ(other.D().RowCount(), 3);
    EXPECT_EQ(other.D().Cells(1, 2)->GetInt(), 7);
    EXPECT_EQ(other.D().Cells(4, 2)->GetFloat(), 1.75L);
    EXPECT_EQ(other.PileCoord().Cells(1, 1)->GetFloat(), -3.25L);
    EXPECT_EQ(back->FileText(other), saved);
}

TEST_F(ProjectFileTest, EveryLayerCountTheTableHoldsOpensAgain)
{
    // More layers than the analysis takes is work in progress, not a broken
    // file: what is saved must open again whole.
    auto data = TProgramData::Create(tables);
    tables.D().SetRowCount(kMaxLayerRows);
    tables.D().Cells(1, kMaxLayerRows - 1)->SetInt(3);
    data->FrequencyCount = 7;
    data->FileName = m_dir.filePath("layers.kld");
    data->Save(tables);
    ProjectTables other;
    QString error;
    const auto back = TProgramData::CreateFromFile(data->FileName, true, other, error);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_EQ(other.D().RowCount(), kMaxLayerRows);
    EXPECT_EQ(other.D().Cells(1, kMaxLayerRows - 1)->GetInt(), 3);
    EXPECT_EQ(back->FrequencyCount, 7);
    EXPECT_EQ(tables.D().MaxRows, kMaxLayerRows);
}

TEST_F(ProjectFileTest, AnEmptyTitleIsAnEmptyFirstLine)
{
    auto data = TProgramData::Create(tables);
    data->Title.clear();
    EXPECT_TRUE(data->FileText(tables).startsWith("\r\n1 \r\n"));
    const auto back = open(write(data->FileText(tables)));
    EXPECT_TRUE(readError.isEmpty());
    EXPECT_EQ(back->Title, "");
}

TEST_F(ProjectFileTest, FileNumbersIgnoreTheLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    auto data = TProgramData::Create(tables);
    data->PileRadius = 0.25L;
    const QByteArray text = data->FileText(tables);
    QLocale::setDefault(saved);
    EXPECT_TRUE(text.contains("\r\n0 0 0 0 0.25 0 0\r\n"));
}

TEST_F(ProjectFileTest, RecordsMayBeSplitOrJoinedAcrossLines)
{
    const auto data = open(write("T\n2 1\n3 1 2\n3 4 5\n1 2 3 4 5 6 7 8 1 1 2 9 8 7 6\n5\n6 7\n"));
    EXPECT_TRUE(readError.isEmpty()) << readError.toStdString();
    EXPECT_EQ(data->Units, 2);
    EXPECT_EQ(tables.D().Cells(1, 0)->GetInt(), 3);
    EXPECT_EQ(cell(tables.D(), 5, 0), 5.0L);
    EXPECT_EQ(data->PileLength, 8.0L);
    EXPECT_EQ(cell(tables.PileCoord(), 1, 0), 2.0L);
    EXPECT_EQ(data->StructureDamping, 6.0L);
    EXPECT_EQ(data->FrequencyIncrement, 7.0L);
}

TEST_F(ProjectFileTest, OldGridLayoutGeneratesPilesRowByRow)
{
    QByteArray text = kTwoLayers;
    text.replace("2\r\n-0.9 0 \r\n0.9 0 \r\n", "3 2.5 2 4\r\n");
    const auto data = open(write(text), false);
    EXPECT_TRUE(readError.isEmpty()) << readError.toStdString();
    const std::pair<Extended, Extended> expected[] = {{0, 0}, {2.5L, 0}, {5, 0}, {0, 4}, {2.5L, 4}, {5, 4}};
    ASSERT_EQ(tables.PileCoord().RowCount(), 6);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(cell(tables.PileCoord(), 0, i), expected[i].first);
        EXPECT_EQ(cell(tables.PileCoord(), 1, i), expected[i].second);
    }
    EXPECT_EQ(data->BasematMass, 200.0L);
    // Saving writes the 2.0 layout with the six piles.
    EXPECT_TRUE(data->FileText(tables).contains("\r\n12\r\n6\r\n0 0 \r\n2.5 0 \r\n5 0 \r\n0 4 \r\n2.5 4 \r\n5 4 \r\n"));
}

TEST_F(ProjectFileTest, AFileCutShortKeepsWhatWasRead)
{
    const QString incomplete = "This file either invalid or incomplete.";
    const struct {
        const char* name;
        QByteArray text;
        QString message;
        int units;
        int layers;
        Extended pileLength;
        int piles;
        Extended spring;
        int frequencies;
    } rows[] = {
        {"empty file", "", incomplete, 1, 1, 0, 1, 0, 0},
        {"title only", "Two layers\r\n", incomplete, 1, 1, 0, 1, 0, 0},
        {"after the units", "Two layers\r\n2 \r\n", incomplete, 2, 1, 0, 1, 0, 0},
        {"inside the layers", "Two layers\r\n2 \r\n2\r\n4 6 150 0.4 1.8 0.05\r\n5 10", incomplete, 2, 2, 0, 1, 0, 0},
        {"after the pile length", kTwoLayers.left(kTwoLayers.indexOf("12\r\n") + 4), incomplete, 2, 2, 12, 1, 0, 0},
        {"inside the piles", kTwoLayers.left(kTwoLayers.indexOf("0.9 0 \r\n200")), incomplete, 2, 2, 12, 2, 0, 0},
        {"before the last value", kTwoLayers.left(kTwoLayers.size() - 3), incomplete, 2, 2, 12, 2, 200000, 11},
        {"a word for a real", QByteArray(kTwoLayers).replace("0.28274334", "area"),
         "Error on Line 6 Item 3\rA floating point number was expected but not found.", 2, 2, 0, 1, 0, 0},
        {"a real for a count", QByteArray(kTwoLayers).replace("\r\n2\r\n4 6", "\r\n2.5\r\n4 6"),
         "Error on Line 3 Item 1\rAn integer was expected but not found.", 2, 1, 0, 1, 0, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto data = open(write(row.text));
        EXPECT_EQ(readError, row.message);
        EXPECT_EQ(data->Units, row.units);
        EXPECT_EQ(tables.D().RowCount(), row.layers);
        EXPECT_EQ(data->PileLength, row.pileLength);
        EXPECT_EQ(tables.PileCoord().RowCount(), row.piles);
        EXPECT_EQ(data->HorizontalSpring, row.spring);
        EXPECT_EQ(data->FrequencyCount, row.frequencies);
        EXPECT_FALSE(tables.IsModified());
    }
    // The first layer read whole keeps its values; the second its defaults after 5 and 10.
    const auto data = open(write(rows[3].text));
    EXPECT_EQ(cell(tables.D(), 2, 0), 150.0L);
    EXPECT_EQ(tables.D().Cells(1, 1)->GetInt(), 5);
    EXPECT_EQ(cell(tables.D(), 0, 1), 10.0L);
    EXPECT_EQ(cell(tables.D(), 2, 1), 0.0L);
}

TEST_F(ProjectFileTest, AMissingFileGivesANewProjectWithItsName)
{
    const QString path = m_dir.filePath("missing.kld");
    const auto data = open(path);
    EXPECT_EQ(readError, "File not found");
    EXPECT_EQ(data->FileName, path);
    EXPECT_EQ(data->Title, "New Pile");
    EXPECT_EQ(tables.D().RowCount(), 1);
}

TEST_F(ProjectFileTest, CountsBeyondTheTablesAreRefused)
{
    const struct {
        const char* name;
        QByteArray from;
        QByteArray to;
        bool layout20;
        QString message;
    } rows[] = {
        {"2001 piles", "\r\n2\r\n-0.9", "\r\n2001\r\n-0.9", true,
         "Error on Line 8 Item 1\rA pile count from 0 to 2000 was expected but not found."},
        {"negative pile count", "\r\n2\r\n-0.9", "\r\n-1\r\n-0.9", true,
         "Error on Line 8 Item 1\rA pile count from 0 to 2000 was expected but not found."},
        {"1001 layers", "2 \r\n2\r\n", "2 \r\n1001\r\n", true,
         "Error on Line 3 Item 1\rA layer count from 0 to 1000 was expected but not found."},
        {"a huge layer count", "2 \r\n2\r\n", "2 \r\n2000000000\r\n", true,
         "Error on Line 3 Item 1\rA layer count from 0 to 1000 was expected but not found."},
        {"a grid of 50 x 41", "2\r\n-0.9 0 \r\n0.9 0 \r\n", "50 1 41 1\r\n", false,
         "Error on Line 8 Item 3\rA pile grid of 0 to 2000 piles was expected but not found."},
        {"a grid of 40 x 50", "2\r\n-0.9 0 \r\n0.9 0 \r\n", "40 1 50 1\r\n", false, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto data = open(write(QByteArray(kTwoLayers).replace(row.from, row.to)), row.layout20);
        EXPECT_EQ(readError, row.message);
        EXPECT_LE(tables.PileCoord().RowCount(), 2000);
        EXPECT_LE(tables.D().RowCount(), 1000);
    }
    EXPECT_EQ(tables.PileCoord().RowCount(), 2000);
}

TEST_F(ProjectFileTest, ALayerCountOfZeroGrowsToOneDefaultLayer)
{
    const auto data = open(write("T\r\n1 \r\n0\r\n1 2 3 4 5 6 7\r\n8\r\n0\r\n1 2 3 4\r\n5 6 7\r\n"));
    EXPECT_TRUE(readError.isEmpty()) << readError.toStdString();
    ASSERT_EQ(tables.D().RowCount(), 1);
    EXPECT_EQ(tables.D().Cells(1, 0)->GetInt(), 20);
    EXPECT_EQ(tables.PileCoord().RowCount(), 1);
    EXPECT_EQ(data->FrequencyCount, 5);
}

TEST_F(ProjectFileTest, OutOfRangeValuesAreKeptAsRead)
{
    QByteArray text = kTwoLayers;
    text.replace("4 6 150", "0 6 150");
    const auto data = open(write(text));
    EXPECT_EQ(tables.D().Cells(1, 0)->GetInt(), 0);
}

TEST_F(ProjectFileTest, AFailedSaveLeavesTheOldFile)
{
    auto data = TProgramData::Create(tables);
    data->FileName = m_dir.filePath("kept.kld");
    data->Save(tables);
    const QByteArray before = readAll(data->FileName);

    // The file may not grow beyond its old size: writing the larger project fails.
    tables.PileCoord().SetRowCount(500);
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = static_cast<rlim_t>(before.size());
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_THROW(data->Save(tables), EInOutError);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(readAll(data->FileName), before);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList({"kept.kld"}));

    data->FileName = m_dir.filePath("no/such/folder/p.kld");
    EXPECT_THROW(data->Save(tables), EInOutError);
}

TEST_F(ProjectFileTest, UnitsEnglishToSIAndBack)
{
    auto data = TProgramData::Create(tables);
    data->PileLength = 1.0L;
    data->PileModulus = 1.0L;
    data->BasematMass = 1.0L;
    data->SuperstructureMass = 2.0L;
    data->PileArea = 3.0L;
    data->PileInertia = 4.0L;
    data->PileRadius = 5.0L;
    data->PileDensity = 6.0L;
    data->HorizontalSpring = 7.0L;
    data->PilePoisson = 0.3L;
    data->PileDamping = 0.02L;
    data->StructureDamping = 0.05L;
    data->InitialFrequency = 1.5L;
    data->FrequencyIncrement = 0.5L;
    tables.D().Cells(0, 0)->SetFloat(39.37007874L);
    tables.PileCoord().Cells(1, 0)->SetFloat(78.74015748L);
    const TProgramData english = *data;

    data->SetUnits(2, tables);
    EXPECT_EQ(data->Units, 2);
    EXPECT_EQ(tables.D().Units(), 2);
    EXPECT_EQ(data->PileLength, 1.0L / 39.37007874L);
    EXPECT_EQ(data->PileModulus, 1.0L / 224.8089237L / (1.0L / 39.37007874L * (1.0L / 39.37007874L)));
    EXPECT_NEAR(static_cast<double>(data->PileModulus), 39.37007874 * 39.37007874 / 224.8089237, 1e-12);
    EXPECT_EQ(data->BasematMass, 1.0L / 5.7101483L);
    EXPECT_NEAR(static_cast<double>(tables.D().Cells(0, 0)->GetFloat()), 1.0, 1e-15);
    EXPECT_NEAR(static_cast<double>(tables.PileCoord().Cells(1, 0)->GetFloat()), 2.0, 1e-15);
    // Ratios and frequencies are not converted.
    EXPECT_EQ(data->PilePoisson, 0.3L);
    EXPECT_EQ(data->PileDamping, 0.02L);
    EXPECT_EQ(data->StructureDamping, 0.05L);
    EXPECT_EQ(data->InitialFrequency, 1.5L);
    EXPECT_EQ(data->FrequencyIncrement, 0.5L);

    data->SetUnits(2, tables); // already SI: nothing changes
    EXPECT_EQ(data->PileLength, 1.0L / 39.37007874L);

    data->SetUnits(9, tables); // kept within 1..2
    EXPECT_EQ(data->Units, 2);
    data->SetUnits(0, tables);
    EXPECT_EQ(data->Units, 1);
    const struct {
        const char* name;
        Extended back;
        Extended was;
    } rows[] = {
        {"length", data->PileLength, english.PileLength},
        {"modulus", data->PileModulus, english.PileModulus},
        {"basemat", data->BasematMass, english.BasematMass},
        {"superstructure", data->SuperstructureMass, english.SuperstructureMass},
        {"area", data->PileArea, english.PileArea},
        {"inertia", data->PileInertia, english.PileInertia},
        {"radius", data->PileRadius, english.PileRadius},
        {"density", data->PileDensity, english.PileDensity},
        {"spring", data->HorizontalSpring, english.HorizontalSpring},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_NEAR(static_cast<double>(row.back / row.was), 1.0, 1e-17);
    }
    EXPECT_NEAR(static_cast<double>(tables.D().Cells(0, 0)->GetFloat()), 39.37007874, 1e-13);
}

TEST(FileNames, ExtensionsAndTheFileList)
{
    EXPECT_EQ(ChangeFileExt("/w/a.b/pile.kld", ".klp"), "/w/a.b/pile.klp");
    EXPECT_EQ(ChangeFileExt("/w/a.b/pile", ".klo"), "/w/a.b/pile.klo");
    EXPECT_EQ(ChangeFileExt("pile.x.kld", ".klr"), "pile.x.klr");
    EXPECT_EQ(FileListText("/home/u/my projects/p.kld"),
              QByteArray("/home/u/my projects/p.kld\r\n/home/u/my projects/p.klo\r\n/home/u/my projects/p.klp\r\n"
                         "/home/u/my projects/p.klr\r\n/home/u/my projects/p.klr\r\n/home/u/my projects/p.klr\r\n"));
}
