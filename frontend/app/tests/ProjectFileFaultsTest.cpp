// Project files that would break the program later: values beyond the units
// conversion, files of the other layout, and saves that cannot go the usual way.

#include "AppTestSupport.h"
#include "DataUnit.h"

#include "Misc.h"
#include "Table.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

// One layer, six piles in a 3 x 2 grid, in the 2.0 layout; the units and
// any word of the text can be replaced.
QByteArray sixPiles(const char* units = "2")
{
    return QByteArray("Six piles\r\n") + units
           + " \r\n1\r\n20 6 150 0.4 1.8 0.05\r\n30000000 0.0063617251 0.28274334 0.25 0.3 2.5 0.01\r\n5\r\n"
             "6\r\n0 0 \r\n3 0 \r\n6 0 \r\n0 3 \r\n3 3 \r\n6 3 \r\n200 500 200000 0.05\r\n3 1 2\r\n";
}

// The same piles as a grid of the 1.0 layout.
QByteArray sixPilesGrid()
{
    return "Grid\r\n2 \r\n1\r\n20 6 150 0.4 1.8 0.05\r\n30000000 0.0063617251 0.28274334 0.25 0.3 2.5 0.01\r\n5\r\n"
           "3 3 2 3\r\n200 500 200000 0.05\r\n3 1 2\r\n";
}

class ProjectFileFaultsTest : public ::testing::Test {
protected:
    QString write(const QByteArray& contents, const QString& name = QStringLiteral("p.kld"))
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contents);
        return path;
    }
    std::unique_ptr<TProgramData> open(const QByteArray& text, bool layout20 = true)
    {
        return TProgramData::CreateFromFile(write(text), layout20, tables, readError);
    }

    QTemporaryDir m_dir;
    ProjectTables tables;
    QString readError;
};

const QString kBeyond = "A number within the range of the units conversion was expected but not found.";

} // namespace

TEST_F(ProjectFileFaultsTest, ValuesBeyondTheUnitsConversionAreRefusedWhereTheyStand)
{
    const struct {
        const char* name;
        QByteArray text;
        bool layout20;
        QString message; // empty: read whole
    } rows[] = {
        // 1E4931 m is 3.9E4932 in, beyond the largest Extended (1.19E4932).
        {"SI layer thickness", QByteArray(sixPiles()).replace("20 6 150", "20 1E4931 150"), true,
         "Error on Line 4 Item 2\r" + kBeyond},
        {"SI pile coordinate", QByteArray(sixPiles()).replace("\r\n6 3 \r\n", "\r\n6 1E4931 \r\n"), true,
         "Error on Line 13 Item 2\r" + kBeyond},
        {"SI grid spacing", QByteArray(sixPilesGrid()).replace("3 3 2 3", "3 3 2 1E4931"), false,
         "Error on Line 7 Item 4\r" + kBeyond},
        {"SI pile length", QByteArray(sixPiles()).replace("\r\n5\r\n", "\r\n1E4931\r\n"), true,
         "Error on Line 6 Item 1\r" + kBeyond},
        // English to SI: a density grows by 39.37^3 / 5.71 = 10685.
        {"English soil density", QByteArray(sixPiles("1")).replace("0.4 1.8", "0.4 1E4929"), true,
         "Error on Line 4 Item 5\r" + kBeyond},
        {"English basemat mass is divided", QByteArray(sixPiles("1")).replace("200 500", "1E4931 500"), true, ""},
        // Ratios and frequencies are not converted: any finite value stands.
        {"SI Poisson's ratio", QByteArray(sixPiles()).replace("0.4 1.8", "1E4931 1.8"), true, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto data = open(row.text, row.layout20);
        EXPECT_EQ(readError, row.message);
        // Whatever was read converts both ways.
        EXPECT_NO_THROW(data->SetUnits(3 - data->Units, tables));
        EXPECT_NO_THROW(data->SetUnits(3 - data->Units, tables));
    }
}

TEST_F(ProjectFileFaultsTest, AFileOfTheOtherLayoutIsAReadError)
{
    const QString left = "More was found after the last record: this is not a project file of the Keldor %1 layout.";
    const struct {
        const char* name;
        QByteArray text;
        bool layout20;
        QString message;
    } rows[] = {
        // Read as a grid, 6 piles become a 6 x 0 grid and the pile lines fill the later records.
        {"2.0 read as 1.0", sixPiles(), false, "Error on Line 13 Item 1\r" + left.arg("1.0")},
        // Read as a list, the grid's numbers run out.
        {"1.0 read as 2.0", sixPilesGrid(), true, "This file either invalid or incomplete."},
        {"1.0 with words left read as 2.0", sixPilesGrid() + "7 8 9 10 11\r\n", true,
         "Error on Line 10 Item 4\r" + left.arg("2.0")},
        {"a trailing blank line", sixPiles() + "\r\n  \r\n", true, ""},
        {"2.0 read as 2.0", sixPiles(), true, ""},
        {"1.0 read as 1.0", sixPilesGrid(), false, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        open(row.text, row.layout20);
        EXPECT_EQ(readError, row.message);
    }
    // Read in its own layout the grid gives the six piles of the list.
    open(sixPilesGrid(), false);
    ASSERT_EQ(tables.PileCoord().RowCount(), 6);
    EXPECT_EQ(tables.PileCoord().Cells(0, 5)->GetFloat(), 6.0L);
    EXPECT_EQ(tables.PileCoord().Cells(1, 5)->GetFloat(), 3.0L);
}

TEST_F(ProjectFileFaultsTest, AUnitsChangeThatWouldOverflowChangesNothing)
{
    auto data = open(sixPiles());
    ASSERT_TRUE(readError.isEmpty());
    // A shear wave velocity entered in a table window that English units
    // cannot hold; the thickness column before it would convert.
    tables.D().Cells(2, 0)->SetFloat(1E4931L);
    EXPECT_THROW(data->SetUnits(1, tables), EInvalidOp);
    EXPECT_EQ(data->Units, 2);
    EXPECT_EQ(tables.D().Units(), 2);
    EXPECT_EQ(tables.D().Cells(0, 0)->GetFloat(), 6.0L);
    EXPECT_EQ(tables.PileCoord().Cells(0, 1)->GetFloat(), 3.0L);
    EXPECT_EQ(data->PileLength, 5.0L);

    // A new project can always be made over such tables.
    std::unique_ptr<TProgramData> fresh;
    ASSERT_NO_THROW(fresh = TProgramData::Create(tables));
    EXPECT_EQ(tables.D().Units(), 1);
    EXPECT_EQ(tables.D().RowCount(), 1);
    EXPECT_EQ(tables.D().Cells(2, 0)->GetFloat(), 0.0L);
}

TEST_F(ProjectFileFaultsTest, AFailedSaveNamesTheFileAndTheReason)
{
    auto data = TProgramData::Create(tables);
    const QString missing = m_dir.filePath("no/such/folder/p.kld");
    try {
        data->SaveTo(missing, tables);
        ADD_FAILURE() << "saved into a missing folder";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.Message(), "The project file " + missing + " could not be saved.\rThe folder "
                                   + m_dir.filePath("no/such/folder") + " does not exist.");
    }
    EXPECT_EQ(data->FileName, DefaultProjectFileName());

    // A folder in the place of the file: the reason is the system's.
    QDir(m_dir.path()).mkdir("taken.kld");
    try {
        data->SaveTo(m_dir.filePath("taken.kld"), tables);
        ADD_FAILURE() << "saved over a folder";
    } catch (const EInOutError& e) {
        const QString heading = "The project file " + m_dir.filePath("taken.kld") + " could not be saved.\r";
        EXPECT_TRUE(e.Message().startsWith(heading)) << e.Message().toStdString();
        EXPECT_GT(e.Message().size(), e.Message().indexOf(u'\r') + 1);
    }
}

TEST_F(ProjectFileFaultsTest, AWritableFileInAReadOnlyFolderIsWrittenInPlace)
{
    const QString folder = m_dir.filePath("readonly");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + "/kept.kld";
    const QString other = folder + "/new.kld";
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old text\r\n");
    }
    ASSERT_EQ(::chmod(QFile::encodeName(m_dir.path()).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0666), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0555), 0);

    auto data = TProgramData::Create(tables);
    data->FileName = path;
    const QByteArray expected = data->FileText(tables);
    const bool held = AsOrdinaryUser([&] {
        try {
            data->Save(tables);
        } catch (const EInOutError&) {
            return false;
        }
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly) || f.readAll() != expected)
            return false;
        // A new file cannot be made there at all: the message names it.
        try {
            data->SaveTo(other, tables);
            return false;
        } catch (const EInOutError& e) {
            return e.Message().startsWith("The project file " + other + " could not be saved.\r");
        }
    });
    ::chmod(QFile::encodeName(folder).constData(), 0755);
    EXPECT_TRUE(held);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList({"kept.kld"}));
}
