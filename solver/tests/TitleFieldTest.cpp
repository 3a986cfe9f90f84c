#include "ProjectInput.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string titleField(const std::string& title)
{
    kd::ProjectInput in;
    in.title = title;
    return in.title80();
}

// The 80-byte field keeps whole UTF-8 letters only and is blank-padded.
TEST(TitleField, CutsBeforeALetterThatWouldNotFit)
{
    const std::string a(80, 'a');
    const struct {
        const char* name;
        std::string title;
        std::string kept; // the field without its padding
    } cases[] = {
        {"short ASCII", "Pile", "Pile"},
        {"long ASCII", a + "bcd", a},
        {"exactly 80 bytes", a.substr(0, 78) + "\xC3\xA9", a.substr(0, 78) + "\xC3\xA9"},
        {"two bytes across the end", a.substr(0, 79) + "\xC3\xA9", a.substr(0, 79)},
        {"three bytes across the end", a.substr(0, 78) + "\xE2\x82\xAC" "x", a.substr(0, 78)},
        {"three bytes ending at 80", a.substr(0, 77) + "\xE2\x82\xAC" "x", a.substr(0, 77) + "\xE2\x82\xAC"},
        {"four bytes across the end", a.substr(0, 77) + "\xF0\x9F\x98\x80", a.substr(0, 77)},
        {"four bytes, one past", a.substr(0, 79) + "\xF0\x9F\x98\x80", a.substr(0, 79)},
        {"a letter right after the field", a + "\xC3\xA9", a},
        // Not UTF-8 (a Latin-1 letter, stray continuation bytes): cut at 80 as it stands.
        {"Latin-1", a.substr(0, 79) + "\xE9\xE9", a.substr(0, 79) + "\xE9"},
        {"stray continuation bytes", a.substr(0, 75) + "\x80\x80\x80\x80\x80\x80", a.substr(0, 75) + "\x80\x80\x80\x80\x80"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string field = titleField(c.title);
        ASSERT_EQ(field.size(), 80u);
        EXPECT_EQ(field.substr(0, c.kept.size()), c.kept);
        EXPECT_EQ(field.find_first_not_of(' ', c.kept.size()), std::string::npos);
    }
}

} // namespace
