#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/defaultfiles.h"
#include "config/junkmaskline.h"

namespace tw {
namespace {

TEST(DefaultJunkMasks, HasFortyNineLinesInOrder)
{
    const std::vector<std::string>& lines = DefaultJunkMaskLines();
    ASSERT_EQ(lines.size(), 49u);
    EXPECT_EQ(lines.front(), "*.$$$=MS-DOS Temporary Files=true");
    EXPECT_EQ(lines[17], "*.?$?=Temporary Files=true");
    EXPECT_EQ(lines[35], "anti-vir.dat=Created by F-Prot Anit-Virus=true");
    EXPECT_EQ(lines[43], "scandisk.log=ScanDisc log file=true");
    EXPECT_EQ(lines.back(), "twain???.mtx=Temporary file=true");
}

TEST(DefaultJunkMasks, OnlyRowsNineThirtyThreeAndFortyFiveAreInactive)
{
    const std::vector<std::string>& lines = DefaultJunkMaskLines();
    std::vector<int> inactive;
    for (size_t i = 0; i < lines.size(); ++i)
        if (!isActiveForSearch(JunkMaskLine::split(lines[i]).flag))
            inactive.push_back(static_cast<int>(i) + 1);
    EXPECT_EQ(inactive, (std::vector<int>{9, 33, 45}));
    EXPECT_EQ(ActiveJunkMasks(lines).size(), 46u);
}

TEST(DefaultJunkMasks, EveryLineIsAWildcardADescriptionAndAWrittenFlag)
{
    for (const std::string& line : DefaultJunkMaskLines()) {
        const JunkMaskLine parts = JunkMaskLine::split(line);
        EXPECT_FALSE(parts.wildcard.empty()) << line;
        EXPECT_FALSE(parts.description.empty()) << line;
        EXPECT_TRUE(parts.flag == "true" || parts.flag == "false") << line;
        EXPECT_EQ(line, JunkMaskText({parts.wildcard, parts.description, parts.flag == "true"}))
            << "the line reads back as the settings dialog writes it";
    }
}

TEST(DefaultFileGroups, EightSectionsNumberedAfreshInEach)
{
    const std::vector<std::string> lines = DefaultFileGroupLines();
    std::vector<std::string> sections;
    std::vector<size_t> counts;
    for (const std::string& line : lines) {
        if (!line.empty() && line.front() == '[') {
            sections.push_back(line);
            counts.push_back(0);
            continue;
        }
        ASSERT_FALSE(counts.empty()) << "entry before the first section: " << line;
        ++counts.back();
        EXPECT_EQ(line.substr(0, line.find('=')), std::to_string(counts.back())) << line;
    }
    EXPECT_EQ(sections, (std::vector<std::string>{"[Office]", "[Archives]", "[Images]", "[Music]", "[Video]",
                                                  "[Program]", "[Program source]", "[Web pages]"}));
    EXPECT_EQ(counts, (std::vector<size_t>{9, 13, 20, 11, 8, 5, 9, 7}));
}

TEST(DefaultFileGroups, FirstLinesAndArchiveEnd)
{
    const std::vector<std::string> lines = DefaultFileGroupLines();
    ASSERT_GE(lines.size(), 24u);
    EXPECT_EQ(lines[0], "[Office]");
    EXPECT_EQ(lines[1], "1=*.ppt");
    EXPECT_EQ(lines[2], "2=*.doc");
    EXPECT_EQ(lines[9], "9=*.pdf");
    EXPECT_EQ(lines[10], "[Archives]");
    EXPECT_EQ(lines[23], "13=*.msi");
    EXPECT_EQ(lines.back(), "7=*.xml");
}

} // namespace
} // namespace tw
