#include "WordRead.h"

#include "Misc.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

class WordReadTest : public ::testing::Test {
protected:
    QString write(const QByteArray& contents)
    {
        const QString path = m_dir.filePath(QStringLiteral("f%1.txt").arg(m_count++));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contents);
        return path;
    }

    // The message of the EInOutError that fn raises.
    template <class Fn>
    static std::string failure(Fn fn)
    {
        try {
            fn();
        } catch (const EInOutError& e) {
            return e.Message().toStdString();
        }
        return "no error";
    }

    QTemporaryDir m_dir;
    int m_count = 0;
};

TEST_F(WordReadTest, SplitsAtBlanksAndTabs)
{
    TWordReader r(write("  12\t 3.5  \n"));
    ASSERT_EQ(r.LineCount(), 1);
    EXPECT_EQ(r.Line(0).Words, QStringList({"12", "3.5"}));
    EXPECT_EQ(r.Line(0).LineText, "  12\t 3.5  ");
    EXPECT_EQ(r.ReadInteger(), 12);
    EXPECT_EQ(r.ReadFloat(), 3.5L);
}

TEST_F(WordReadTest, WordsContinueAcrossLines)
{
    TWordReader r(write("1 2\n3\n"));
    EXPECT_EQ(r.ReadInteger(), 1);
    EXPECT_EQ(r.ReadInteger(), 2);
    EXPECT_EQ(r.ReadInteger(), 3);
    EXPECT_EQ(failure([&] { r.ReadInteger(); }), "This file either invalid or incomplete.");
}

TEST_F(WordReadTest, NumberErrorsNameLineAndItem)
{
    struct Row {
        const char* contents;
        int skipWords;
        bool integer;
        const char* message;
    };
    const char* floatExpected = "A floating point number was expected but not found.";
    const char* intExpected = "An integer was expected but not found.";
    const Row rows[] = {
        {"1,5\n", 0, false, floatExpected},
        {"1 2 x\n", 2, false, floatExpected},
        {"title\n7 inf\n", 2, false, floatExpected},
        {"nan\n", 0, false, floatExpected},
        {"0x1A\n", 0, false, floatExpected},
        {"1e5000\n", 0, false, floatExpected},
        {"2.5\n", 0, true, intExpected},
        {"2147483648\n", 0, true, intExpected},
        {"5 \n\n   \n\t\nabc\n", 1, true, intExpected}, // lines without words keep their numbers
        {"1 2\r\n3 4x\r\n", 3, true, intExpected},
    };
    const char* lines[] = {"1 Item 1", "1 Item 3", "2 Item 2", "1 Item 1", "1 Item 1", "1 Item 1",
                           "1 Item 1", "1 Item 1", "5 Item 1", "2 Item 2"};
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const Row& row = rows[i];
        SCOPED_TRACE(row.contents);
        TWordReader r(write(row.contents));
        for (int k = 0; k < row.skipWords; ++k)
            r.NextWord();
        const std::string expected = std::string("Error on Line ") + lines[i] + "\r" + row.message;
        EXPECT_EQ(failure([&] { row.integer ? r.ReadInteger() : r.ReadFloat(); }), expected);
    }
}

TEST_F(WordReadTest, AcceptedNumbers)
{
    TWordReader r(write("0.100E+01 -2.5e-3 1e2 7.0 -2147483648 +4\n"));
    EXPECT_EQ(r.ReadFloat(), 1.0L);
    EXPECT_EQ(r.ReadFloat(), -0.0025L);
    EXPECT_EQ(r.ReadInteger(), 100);
    EXPECT_EQ(r.ReadInteger(), 7);
    EXPECT_EQ(r.ReadInteger(), -2147483647 - 1);
    EXPECT_EQ(r.ReadInteger(), 4);
}

TEST_F(WordReadTest, FileNumbersUseThePointWhateverTheLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    TWordReader r(write("2.5 7.0 1,5\n"));
    EXPECT_EQ(r.ReadFloat(), 2.5L);
    EXPECT_EQ(r.ReadInteger(), 7);
    EXPECT_THROW(r.ReadFloat(), EInOutError);
    EXPECT_EQ(QLocale().decimalPoint(), ",");
    QLocale::setDefault(saved);
}

TEST_F(WordReadTest, LinesAndLineEnds)
{
    TWordReader crlf(write("My title \r\n1 2\r\n"));
    EXPECT_EQ(crlf.LineCount(), 2);
    EXPECT_EQ(crlf.ReadLine(), "My title "); // the CR is not part of the line
    EXPECT_EQ(crlf.ReadInteger(), 1);
    EXPECT_EQ(crlf.NextWord(), "2");
    EXPECT_FALSE(crlf.AtEnd());

    TWordReader empty(write(""));
    EXPECT_EQ(empty.LineCount(), 1);
    EXPECT_EQ(empty.ReadLine(), "");
    EXPECT_TRUE(empty.AtEnd());

    TWordReader emptyWords(write(""));
    EXPECT_EQ(failure([&] { emptyWords.NextWord(); }), "This file either invalid or incomplete.");

    TWordReader single(write("only line"));
    EXPECT_EQ(single.ReadLine(), "only line");
    EXPECT_EQ(failure([&] { single.ReadInteger(); }), "This file either invalid or incomplete.");

    TWordReader blankFirst(write("\n\n5\n")); // ReadLine returns an empty line as it stands
    EXPECT_EQ(blankFirst.ReadLine(), "");
    EXPECT_EQ(blankFirst.ReadInteger(), 5);

    TWordReader lastCr(write("title\r")); // a CR ending the file's last line is no text either
    EXPECT_EQ(lastCr.ReadLine(), "title");

    TWordReader latin(write("Pf\xe4hle\n")); // not UTF-8: read byte for byte
    EXPECT_EQ(latin.ReadLine(), QString::fromUtf8("Pf\u00e4hle"));
}

TEST_F(WordReadTest, MissingFile)
{
    EXPECT_EQ(failure([&] { TWordReader r(m_dir.filePath("absent.kld")); }), "File not found");
}

TEST_F(WordReadTest, FarTooLargeFileIsRefused)
{
    const QString path = write(QByteArray());
    QFile f(path);
    ASSERT_TRUE(f.resize(TWordReader::kMaxFileSize + 1));  // sparse: no real data written
    EXPECT_EQ(failure([&] { TWordReader r(path); }), "File is too large");
}
