#include "ValueStream.h"

#include "Misc.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

QByteArray hex(const char* text) { return QByteArray::fromHex(text); }

} // namespace

TEST(ValueStream, IntegersTakeTheSmallestForm)
{
    struct Row {
        std::int32_t value;
        const char* bytes;
    };
    const Row rows[] = {
        {0, "0200"},           {-128, "0280"},         {127, "027f"},       {128, "038000"},
        {-129, "037fff"},      {32767, "03ff7f"},      {-32768, "030080"},  {32768, "0400800000"},
        {-32769, "04ff7fffff"}, {INT32_MIN, "0400000080"}, {INT32_MAX, "04ffffff7f"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.value);
        ValueWriter w;
        w.WriteInteger(r.value);
        EXPECT_EQ(w.Data().toHex(), QByteArray(r.bytes));
        ValueReader reader(w.Data());
        EXPECT_EQ(reader.ReadInteger(), r.value);
        EXPECT_TRUE(reader.AtEnd());
    }
}

TEST(ValueStream, OtherValues)
{
    ValueWriter w;
    w.WriteFloat(1.0L);
    w.WriteFloat(-0.1L);
    w.WriteBoolean(true);
    w.WriteBoolean(false);
    w.WriteListBegin();
    w.WriteString("L");
    w.WriteString(QString());
    w.WriteListEnd();
    w.WriteString(QString(300, u'x'));
    w.WriteString(QString::fromUtf8("\u00b2"));

    // 1.0: mantissa 8000000000000000, exponent 3FFF, both little-endian
    EXPECT_EQ(w.Data().left(11).toHex(), QByteArray("050000000000000080ff3f"));
    EXPECT_EQ(w.Data().mid(22, 9).toHex(), QByteArray("09080106014c060000"));
    EXPECT_EQ(w.Data().mid(31, 5).toHex(), QByteArray("0c2c010000"));

    ValueReader r(w.Data());
    EXPECT_EQ(r.ReadFloat(), 1.0L);
    EXPECT_EQ(r.ReadFloat(), -0.1L);
    EXPECT_TRUE(r.ReadBoolean());
    EXPECT_FALSE(r.ReadBoolean());
    r.ReadListBegin();
    QStringList items;
    while (!r.EndOfList())
        items << r.ReadString();
    r.ReadListEnd();
    EXPECT_EQ(items, QStringList({"L", ""}));
    EXPECT_EQ(r.ReadString(), QString(300, u'x'));
    EXPECT_EQ(r.ReadString(), QString::fromUtf8("\u00b2"));
    EXPECT_TRUE(r.AtEnd());
}

TEST(ValueStream, BadDataIsRefused)
{
    struct Row {
        const char* what;
        const char* bytes;
        std::function<void(ValueReader&)> read;
        const char* message;
    };
    const Row rows[] = {
        {"empty", "", [](ValueReader& r) { r.ReadInteger(); }, "Stream read error"},
        {"short integer", "0401", [](ValueReader& r) { r.ReadInteger(); }, "Stream read error"},
        {"string for an integer", "0600", [](ValueReader& r) { r.ReadInteger(); }, "Invalid property value"},
        {"short string", "0605616263", [](ValueReader& r) { r.ReadString(); }, "Stream read error"},
        {"negative long string", "0cffffffff", [](ValueReader& r) { r.ReadString(); }, "Stream read error"},
        {"integer for a Boolean", "0201", [](ValueReader& r) { r.ReadBoolean(); }, "Invalid property value"},
        {"infinite float", "050000000000000080ff7f", [](ValueReader& r) { r.ReadFloat(); }, "Invalid property value"},
        {"missing list end", "0102",
         [](ValueReader& r) {
             r.ReadListBegin();
             r.ReadListEnd();
         },
         "Invalid property value"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ValueReader r(hex(row.bytes));
        try {
            row.read(r);
            ADD_FAILURE() << "no error";
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message(), row.message);
        }
    }
    ValueWriter w;
    EXPECT_THROW(w.WriteString(QString::fromUtf8("\u2264")), EConvertError); // outside the single-byte page
    EXPECT_TRUE(w.Data().isEmpty());
}
