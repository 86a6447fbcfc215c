// Text crosses between UTF-8 inside the program and the system's wide forms without a character
// lost; the ANSI form is the system's own, substitutions and all.
#include "framework/Unicode.h"

#include <gtest/gtest.h>

TEST(Unicode, EveryScriptSurvivesTheRoundTripAndAnsiIsTheSystemsConversion)
{
    const std::string mixed = "caf\xC3\xA9 \xCE\x95\xCE\xBB \xE6\x97\xA5\xE6\x9C\xAC \xD0\x9F \xF0\x9F\x93\xB7";
    const std::wstring wide = Widen(mixed);
    EXPECT_EQ(wide, std::wstring(L"caf\u00E9 \u0395\u03BB \u65E5\u672C \u041F \xD83D\xDCF7"));
    EXPECT_EQ(Utf8(wide), mixed);
    EXPECT_EQ(Utf8(wide.c_str()), mixed);
    EXPECT_EQ(Utf8(static_cast<const wchar_t*>(nullptr)), "");
    EXPECT_EQ(Widen(""), L"");
    ASSERT_EQ(::GetACP(), 1252u) << "the tests expect a Western system";
    EXPECT_EQ(Ansi(L"caf\u00E9 \u65E5"), "caf\xE9 ?");
}
