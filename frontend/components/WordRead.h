#pragma once

// Reads a whole text file at once and hands out its words (separated by
// blanks and tabs) in file order, as raw lines or as numbers. Line breaks do
// not end a record. Every failure is an EInOutError.

#include "Extended.h"

#include <QString>
#include <QStringList>

#include <vector>

// The words of one line, and the line as it was read (without its line end).
struct TWordContainer {
    QStringList Words;
    QString LineText;
};

class TWordReader {
public:
    // Larger files are refused ("File is too large") rather than read.
    static constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

    explicit TWordReader(const QString& fileName);

    bool AtEnd() const;
    // The next word, passing over lines without words.
    QString NextWord();
    // The current line as it stands, whatever of it was handed out already;
    // then the reader moves to the next line.
    QString ReadLine();
    // The next word as a number with ".", whatever the locale.
    Extended ReadFloat();
    // The next word as a number with "." that is integral and in 32-bit range.
    int ReadInteger();

    int LineIndex() const { return m_lineIndex; }
    int WordIndex() const { return m_wordIndex; }
    int LineCount() const { return static_cast<int>(m_lines.size()); }
    const TWordContainer& Line(int index) const { return m_lines.at(static_cast<std::size_t>(index)); }

    static TWordContainer SplitLine(const QString& s);

private:
    QString itemError(const QString& expected) const;

    std::vector<TWordContainer> m_lines;
    int m_lineIndex = 0;
    int m_wordIndex = 0;
};
