#include "WordRead.h"

#include "Misc.h"
#include "NumberText.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <cmath>

namespace {

const QString kIncomplete = QStringLiteral("This file either invalid or incomplete.");

bool isBlankOrControl(QChar c) { return c.unicode() <= 32; }

// Valid UTF-8 is read as such; any other bytes as the single-byte code page
// of older files, so that no byte is lost.
QString decodeLine(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError())
        return QString::fromLatin1(bytes);
    return text;
}

} // namespace

TWordReader::TWordReader(const QString& fileName)
{
    QFile file(fileName);
    if (!QFileInfo::exists(fileName))
        throw EInOutError(QStringLiteral("File not found"));
    if (!file.open(QIODevice::ReadOnly))
        throw EInOutError(file.errorString());
    // The files read here are small (a project of 2000 piles is some 60 kB);
    // anything far larger is not one of them and is not loaded into memory.
    if (file.size() > kMaxFileSize)
        throw EInOutError(QStringLiteral("File is too large"));
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EInOutError(file.errorString());
    file.close();

    // Every line becomes an entry, the last one and empty ones too; a file
    // that ends with a line end has no empty line after it, and an empty
    // file has one empty line.
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = data.indexOf('\n', start);
        if (end < 0) {
            // The last line without a line end: a CR at its end is still no text.
            qsizetype stop = data.size();
            if (stop > start && data[stop - 1] == '\r')
                --stop;
            if (start < data.size() || m_lines.empty())
                m_lines.push_back(SplitLine(decodeLine(data.mid(start, stop - start))));
            break;
        }
        qsizetype stop = end;
        if (stop > start && data[stop - 1] == '\r') // CR LF ends the line as LF does
            --stop;
        m_lines.push_back(SplitLine(decodeLine(data.mid(start, stop - start))));
        start = end + 1;
    }
}

TWordContainer TWordReader::SplitLine(const QString& s)
{
    TWordContainer c;
    c.LineText = s;
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && isBlankOrControl(s[begin]))
        ++begin;
    while (end > begin && isBlankOrControl(s[end - 1]))
        --end;
    while (begin < end) {
        qsizetype stop = begin;
        while (stop < end && s[stop] != u' ' && s[stop] != u'\t')
            ++stop;
        c.Words.append(s.mid(begin, stop - begin));
        begin = stop;
        while (begin < end && isBlankOrControl(s[begin]))
            ++begin;
    }
    return c;
}

bool TWordReader::AtEnd() const
{
    return m_lineIndex == LineCount();
}

QString TWordReader::NextWord()
{
    while (m_lineIndex < LineCount() && m_wordIndex >= m_lines[m_lineIndex].Words.size()) {
        ++m_lineIndex;
        m_wordIndex = 0;
    }
    if (m_lineIndex >= LineCount())
        throw EInOutError(kIncomplete);
    return m_lines[m_lineIndex].Words[m_wordIndex++];
}

QString TWordReader::ReadLine()
{
    if (m_lineIndex >= LineCount())
        throw EInOutError(kIncomplete);
    const QString text = m_lines[m_lineIndex].LineText;
    ++m_lineIndex;
    m_wordIndex = 0;
    return text;
}

QString TWordReader::itemError(const QString& expected) const
{
    // The word just handed out stands at m_wordIndex (1-based) of its line.
    return QStringLiteral("Error on Line %1 Item %2\r%3").arg(m_lineIndex + 1).arg(m_wordIndex).arg(expected);
}

Extended TWordReader::ReadFloat()
{
    const QString word = NextWord();
    Extended value = 0.0L;
    if (!parseNumber(word, u'.', value))
        throw EInOutError(itemError(QStringLiteral("A floating point number was expected but not found.")));
    return value;
}

int TWordReader::ReadInteger()
{
    const QString word = NextWord();
    Extended value = 0.0L;
    if (!parseNumber(word, u'.', value) || value != std::trunc(value) || value < -2147483648.0L
        || value > 2147483647.0L)
        throw EInOutError(itemError(QStringLiteral("An integer was expected but not found.")));
    return static_cast<int>(value);
}
