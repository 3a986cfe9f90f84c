#include "FreeFormatReader.h"
#include "RecordError.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

using namespace kd;

namespace {

class TempFile {
public:
    explicit TempFile(const std::string& content)
    {
        m_path = (std::filesystem::temp_directory_path() /
                  ("kd_reader_" + std::to_string(reinterpret_cast<std::uintptr_t>(this)) + ".txt"))
                     .string();
        std::ofstream(m_path, std::ios::binary) << content;
    }
    ~TempFile() { std::remove(m_path.c_str()); }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

} // namespace

TEST(FreeFormatReader, NumberSyntax)
{
    struct Case {
        const char* text;
        bool ok;
        double value;
    };
    const Case reals[] = {
        {"1", true, 1.0},          {"-2.5", true, -2.5},     {"+.5", true, 0.5},   {"3.", true, 3.0},
        {"1E-5", true, 1e-5},      {"1.2345679E8", true, 1.2345679e8},             {"0.100E+01", true, 1.0},
        {"2.5d3", true, 2500.0},   {"", false, 0},           {".", false, 0},      {"e5", false, 0},
        {"1e", false, 0},          {"1.5x", false, 0},       {"inf", false, 0},    {"nan", false, 0},
        {"0x1p3", false, 0},       {"1e400", false, 0},      {"--1", false, 0},    {"1,5", false, 0},
    };
    for (const auto& c : reals) {
        SCOPED_TRACE(c.text);
        double v = 0.0;
        EXPECT_EQ(parseReal(c.text, v), c.ok);
        if (c.ok)
            EXPECT_EQ(v, c.value);
    }
    struct ICase {
        const char* text;
        bool ok;
        int value;
    };
    const ICase ints[] = {{"20", true, 20}, {"+3", true, 3}, {"-7", true, -7}, {"2.0", false, 0},
                          {"1e2", false, 0}, {"+-1", false, 0}, {"99999999999", false, 0}, {"", false, 0}};
    for (const auto& c : ints) {
        SCOPED_TRACE(c.text);
        int v = 0;
        EXPECT_EQ(parseInteger(c.text, v), c.ok);
        if (c.ok)
            EXPECT_EQ(v, c.value);
    }
}

TEST(FreeFormatReader, RecordsStartOnNewLinesAndSpanLines)
{
    // CRLF and LF mixed; extra values on a line are discarded; a read continues
    // over blank lines and line ends until it has its values.
    TempFile file("Title line  \r\n2 9 9\r\n1,2.5\n\n  3\r\n4 5\nlast");
    FreeFormatReader reader;
    reader.open(file.path());
    EXPECT_EQ(reader.readText("TITLE"), "Title line  ");
    EXPECT_EQ(reader.readValues(1, "UNITS").integer(0, "IUNITS"), 2);
    const auto rec = reader.readValues(3, "LAYER 1");
    EXPECT_EQ(rec.integer(0, "A"), 1);
    EXPECT_EQ(rec.real(1, "B"), 2.5);
    EXPECT_EQ(rec.real(2, "C"), 3.0);
    EXPECT_EQ(reader.readValues(1, "NEXT").integer(0, "D"), 4);  // starts on a new line: "5" is gone
    EXPECT_EQ(reader.readText("LAST"), "last");
    try {
        reader.readValues(1, "FREQUENCIES");
        FAIL() << "expected end of file";
    } catch (const RecordError& e) {
        EXPECT_NE(std::string(e.what()).find("FREQUENCIES"), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("END OF FILE"), std::string::npos);
    }
}

TEST(FreeFormatReader, BadValueNamesRecordAndValue)
{
    TempFile file("1 abc\n");
    FreeFormatReader reader;
    reader.open(file.path());
    const auto rec = reader.readValues(2, "PILE");
    try {
        rec.real(1, "EP");
        FAIL();
    } catch (const RecordError& e) {
        const std::string what = e.what();
        EXPECT_NE(what.find("PILE"), std::string::npos);
        EXPECT_NE(what.find("EP = \"abc\""), std::string::npos);
    }
}

TEST(FreeFormatReader, MissingFileCannotBeOpened)
{
    FreeFormatReader reader;
    EXPECT_THROW(reader.open("/nonexistent/dir/project.kld"), RecordError);
}

TEST(FreeFormatReader, ResultLineFields)
{
    const auto full = parseResultLine("  12.500        0.10000E+01 -0.20000E+01  0.30000E-02", 3, "f");
    EXPECT_EQ(full.frequency, 12.5);
    EXPECT_EQ(full.values[0], 1.0);
    EXPECT_EQ(full.values[1], -2.0);
    EXPECT_EQ(full.values[2], 0.003);
    // A value missing at the end of the line reads as 0.
    const auto shorter = parseResultLine("   0.000        0.10000E+01 -0.20000E+01", 3, "f");
    EXPECT_EQ(shorter.values[2], 0.0);
    EXPECT_THROW(parseResultLine("********        0.10000E+01", 1, "f"), RecordError);
}
