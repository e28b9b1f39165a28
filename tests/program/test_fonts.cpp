// The pages ask for fonts by the names they were laid out with; the program's
// font configuration gives them installed fonts of the same metrics.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

std::string matched_family(const std::string& family)
{
    const std::string config = VELTO_BINARY_DIR "/fonts/fonts.conf";
    const std::string command = "FONTCONFIG_FILE='" + config + "' fc-match -f '%{family[0]}' '" + family + "' 2>/dev/null";
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe))
            out += buffer;
        pclose(pipe);
    }
    return out;
}

} // namespace

TEST(Fonts, PageFontNamesMapToMetricCompatibleFonts)
{
    ASSERT_TRUE(std::filesystem::exists(VELTO_BINARY_DIR "/fonts/fonts.conf"));
    EXPECT_EQ(matched_family("ＭＳ Ｐゴシック"), "IPAPGothic");
    EXPECT_EQ(matched_family("ＭＳ Ｐ明朝"), "IPAPMincho");
    EXPECT_EQ(matched_family("Century"), "C059");
}
