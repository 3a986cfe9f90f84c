#include "ValueStream.h"

#include "Misc.h"

#include <cmath>
#include <cstring>

namespace {

[[noreturn]] void invalidValue() { throw EReadError(QStringLiteral("Invalid property value")); }

} // namespace

void ValueWriter::writeTag(ValueType type)
{
    m_data.append(static_cast<char>(type));
}

void ValueWriter::writeRaw(const void* bytes, int count)
{
    m_data.append(static_cast<const char*>(bytes), count);
}

void ValueWriter::WriteInteger(std::int32_t value)
{
    // The host is little-endian, as the stored layout is.
    if (value >= -128 && value <= 127) {
        writeTag(ValueType::Int8);
        const auto v = static_cast<std::int8_t>(value);
        writeRaw(&v, 1);
    } else if (value >= -32768 && value <= 32767) {
        writeTag(ValueType::Int16);
        const auto v = static_cast<std::int16_t>(value);
        writeRaw(&v, 2);
    } else {
        writeTag(ValueType::Int32);
        writeRaw(&value, 4);
    }
}

void ValueWriter::WriteFloat(Extended value)
{
    writeTag(ValueType::Extended);
    writeRaw(&value, 10); // the 80-bit format without its padding
}

void ValueWriter::WriteString(const QString& value)
{
    for (QChar c : value)
        if (c.unicode() > 0xFF)
            throw EConvertError(QStringLiteral("Text cannot be stored: %1").arg(value));
    const QByteArray bytes = value.toLatin1();
    if (bytes.size() <= 255) {
        writeTag(ValueType::String);
        m_data.append(static_cast<char>(bytes.size()));
    } else {
        writeTag(ValueType::LString);
        const auto length = static_cast<std::int32_t>(bytes.size());
        writeRaw(&length, 4);
    }
    m_data.append(bytes);
}

void ValueWriter::WriteBoolean(bool value)
{
    writeTag(value ? ValueType::True : ValueType::False);
}

void ValueWriter::WriteListBegin() { writeTag(ValueType::List); }
void ValueWriter::WriteListEnd() { writeTag(ValueType::Null); }

ValueReader::ValueReader(const QByteArray& data) : m_data(data) {}

void ValueReader::readRaw(void* bytes, qsizetype count)
{
    if (count < 0 || m_data.size() - m_pos < count)
        throw EReadError(QStringLiteral("Stream read error"));
    std::memcpy(bytes, m_data.constData() + m_pos, static_cast<std::size_t>(count));
    m_pos += count;
}

ValueType ValueReader::readTag()
{
    std::uint8_t tag = 0;
    readRaw(&tag, 1);
    return static_cast<ValueType>(tag);
}

ValueType ValueReader::NextValue() const
{
    if (AtEnd())
        throw EReadError(QStringLiteral("Stream read error"));
    return static_cast<ValueType>(static_cast<std::uint8_t>(m_data[m_pos]));
}

std::int32_t ValueReader::ReadInteger()
{
    switch (readTag()) {
    case ValueType::Int8: {
        std::int8_t v = 0;
        readRaw(&v, 1);
        return v;
    }
    case ValueType::Int16: {
        std::int16_t v = 0;
        readRaw(&v, 2);
        return v;
    }
    case ValueType::Int32: {
        std::int32_t v = 0;
        readRaw(&v, 4);
        return v;
    }
    default:
        invalidValue();
    }
}

Extended ValueReader::ReadFloat()
{
    if (NextValue() != ValueType::Extended)
        return static_cast<Extended>(ReadInteger());
    readTag();
    Extended v = 0.0L;
    readRaw(&v, 10);
    if (!std::isfinite(v))
        invalidValue();
    return v;
}

QString ValueReader::ReadString()
{
    qsizetype length = 0;
    switch (readTag()) {
    case ValueType::String: {
        std::uint8_t n = 0;
        readRaw(&n, 1);
        length = n;
        break;
    }
    case ValueType::LString: {
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

bool ValueReader::ReadBoolean()
{
    switch (readTag()) {
    case ValueType::True:
        return true;
    case ValueType::False:
        return false;
    default:
        invalidValue();
    }
}

void ValueReader::ReadListBegin()
{
    if (readTag() != ValueType::List)
        invalidValue();
}

void ValueReader::ReadListEnd()
{
    if (readTag() != ValueType::Null)
        invalidValue();
}

bool ValueReader::EndOfList() const
{
    return NextValue() == ValueType::Null;
}
