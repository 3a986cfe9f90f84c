#pragma once

// The value encoding of stored component data: one tag byte before each
// value, integers in the smallest form that holds them, little-endian.

#include "Extended.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

enum class ValueType : std::uint8_t {
    Null = 0x00, // end of a list
    List = 0x01,
    Int8 = 0x02,
    Int16 = 0x03,
    Int32 = 0x04,
    Extended = 0x05, // 8-byte mantissa, then 2-byte sign and exponent
    String = 0x06,   // one length byte
    False = 0x08,
    True = 0x09,
    LString = 0x0C, // 32-bit length
};

class ValueWriter {
public:
    void WriteInteger(std::int32_t value);
    void WriteFloat(Extended value);
    // Texts are stored in the single-byte code page; a character outside it
    // raises EConvertError rather than being stored as something else.
    void WriteString(const QString& value);
    void WriteBoolean(bool value);
    void WriteListBegin();
    void WriteListEnd();

    const QByteArray& Data() const { return m_data; }

private:
    void writeTag(ValueType type);
    void writeRaw(const void* bytes, int count);

    QByteArray m_data;
};

// Reads what ValueWriter wrote. A wrong tag raises EReadError "Invalid property
// value", data that ends too early "Stream read error".
class ValueReader {
public:
    explicit ValueReader(const QByteArray& data);

    std::int32_t ReadInteger();
    // An extended value, or an integer read as one; never a value that is
    // not finite.
    Extended ReadFloat();
    QString ReadString();
    bool ReadBoolean();
    void ReadListBegin();
    void ReadListEnd();
    bool EndOfList() const;
    ValueType NextValue() const;
    bool AtEnd() const { return m_pos >= m_data.size(); }

private:
    ValueType readTag();
    void readRaw(void* bytes, qsizetype count);

    QByteArray m_data;
    qsizetype m_pos = 0;
};
