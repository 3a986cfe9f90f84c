#include "ValueStream.h"

#include "Misc.h"

#include <cmath>
#include <cstring>

namespace {

[[noreturn]] void invalidValue() { throw EReadError(QStringLiteral("Invalid property value")); }

} // namespace

void TWriter::writeTag(TValueType type)
{
    m_data.append(static_cast<char>(type));
}

void TWriter::writeRaw(const void* bytes, int count)
{
    m_data.append(static_cast<const char*>(bytes), count);
}

void TWriter::WriteInteger(std::int32_t value)
{
    // The host is little-endian, as the stored layout is.
    if (value >= -128 && value <= 127) {
        writeTag(TValueType::Int8);
        const auto v = static_cast<std::int8_t>(value);
        writeRaw(&v, 1);
    } else if (value >= -32768 && value <= 32767) {
        writeTag(TValueType::Int16);
        const auto v = static_cast<std::int16_t>(value);
        writeRaw(&v, 2);
    } else {
        writeTag(TValueType::Int32);
        writeRaw(&value, 4);
    }
}

void TWriter::WriteFloat(Extended value)
{
    writeTag(TValueType::Extended);
    writeRaw(&value, 10); // the 80-bit format without its padding
}

void TWriter::WriteString(const QString& value)
{
    for (QChar c : value)
        if (c.unicode() > 0xFF)
            throw EConvertError(QStringLiteral("Text cannot be stored: %1").arg(value));
    const QByteArray bytes = value.toLatin1();
    if (bytes.size() <= 255) {
        writeTag(TValueType::String);
        m_data.append(static_cast<char>(bytes.size()));
    } else {
        writeTag(TValueType::LString);
        const auto length = static_cast<std::int32_t>(bytes.size());
        writeRaw(&length, 4);
    }
    m_data.append(bytes);
}

void TWriter::WriteBoolean(bool value)
{
    writeTag(value ? TValueType::True : TValueType::False);
}

void TWriter::WriteListBegin() { writeTag(TValueType::List); }
void TWriter::WriteListEnd() { writeTag(TValueType::Null); }

TReader::TReader(const QByteArray& data) : m_data(data) {}

void TReader::readRaw(void* bytes, qsizetype count)
{
    if (count < 0 || m_data.size() - m_pos < count)
        throw EReadError(QStringLiteral("Stream read error"));
    std::memcpy(bytes, m_data.constData() + m_pos, static_cast<std::size_t>(count));
    m_pos += count;
}

TValueType TReader::readTag()
{
    std::uint8_t tag = 0;
    readRaw(&tag, 1);
    return static_cast<TValueType>(tag);
}

TValueType TReader::NextValue() const
{
    if (AtEnd())
        throw EReadError(QStringLiteral("Stream read error"));
    return static_cast<TValueType>(static_cast<std::uint8_t>(m_data[m_pos]));
}

std::int32_t TReader::ReadInteger()
{
    switch (readTag()) {
    case TValueType::Int8: {
        std::int8_t v = 0;
        readRaw(&v, 1);
        return v;
    }
    case TValueType::Int16: {
        std::int16_t v = 0;
        readRaw(&v, 2);
        return v;
    }
    case TValueType::Int32: {
        std::int32_t v = 0;
        readRaw(&v, 4);
        return v;
    }
    default:
        invalidValue();
    }
}

Extended TReader::ReadFloat()
{
    if (NextValue() != TValueType::Extended)
        return static_cast<Extended>(ReadInteger());
    readTag();
    Extended v = 0.0L;
    readRaw(&v, 10);
    if (!std::isfinite(v))
        invalidValue();
    return v;
}

QString TReader::ReadString()
{
    qsizetype length = 0;
    switch (readTag()) {
    case TValueType::String: {
        std::uint8_t n = 0;
        readRaw(&n, 1);
        length = n;
        break;
    }
    case TValueType::LString: {
        std::int32_t n = 0;
        readRaw(&n, 4);
        length = n;
        break;
    }
    default:
        invalidValue();
    }
    if (length < 0 || m_data.size() - m_pos < length)
        throw EReadError(QStringLiteral("Stream read error"));
    const QString s = QString::fromLatin1(m_data.constData() + m_pos, length);
    m_pos += length;
    return s;
}

bool TReader::ReadBoolean()
{
    switch (readTag()) {
    case TValueType::True:
        return true;
    case TValueType::False:
        return false;
    default:
        invalidValue();
    }
}

void TReader::ReadListBegin()
{
    if (readTag() != TValueType::List)
        invalidValue();
}

void TReader::ReadListEnd()
{
    if (readTag() != TValueType::Null)
        invalidValue();
}

bool TReader::EndOfList() const
{
    return NextValue() == TValueType::Null;
}
