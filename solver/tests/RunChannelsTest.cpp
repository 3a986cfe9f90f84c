// The table of the horizontal result files that opening, closing, the copy
// into the report and the clean-up go by.

#include "ResultFileNames.h"
#include "RunChannels.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace kd;

TEST(RunChannels, EveryHorizontalFileHasItsOwnChannelNameAndMember)
{
    std::set<int> channels;
    std::set<std::string> names;
    for (const HorizontalResultFile& f : kHorizontalResultFiles) {
        SCOPED_TRACE(f.name);
        channels.insert(f.channel);
        names.insert(f.name);
        for (const HorizontalResultFile& other : kHorizontalResultFiles)
            EXPECT_TRUE(&other == &f || other.member != f.member) << other.name;
        EXPECT_EQ(std::string(f.name).size(), 12u);
        EXPECT_EQ(std::string(f.name).substr(8), ".CBM");
    }
    EXPECT_EQ(channels.size(), kHorizontalFileCount);
    EXPECT_EQ(*channels.begin(), 4);
    EXPECT_EQ(*channels.rbegin(), 13);
    EXPECT_EQ(names.size(), kHorizontalFileCount);
}

TEST(RunChannels, ReportCopiesSinglePileFirstAndByChannelForOpening)
{
    // The report holds the single-pile block, then the group block, each
    // with its transfer functions before its stiffness and factor.
    const char* reportOrder[] = {"TRNPLSSW.CBM", "TRNSTSSW.CBM", "TRNFDSSW.CBM", "STSNGKHH.CBM", "RTSNGKHH.CBM",
                                 "TRNPLGSW.CBM", "TRNSTGSW.CBM", "TRNFDGSW.CBM", "STGRPKHH.CBM", "RTGRPKHH.CBM"};
    for (std::size_t i = 0; i < kHorizontalFileCount; ++i) {
        const HorizontalResultFile& f = kHorizontalResultFiles[i];
        EXPECT_EQ(std::string(f.name), reportOrder[i]);
        EXPECT_EQ(f.part, i < 5 ? ReportPart::SinglePile : ReportPart::PileGroup) << f.name;
        EXPECT_EQ(f.superstructureOnly, std::string(f.name).substr(0, 5) == "TRNST" ||
                                            std::string(f.name).substr(0, 5) == "TRNFD")
            << f.name;
    }
    int channel = 3;
    for (const HorizontalResultFile* f : horizontalFilesByChannel())
        EXPECT_EQ(f->channel, ++channel);
}

TEST(RunChannels, ScratchFilesAreTheScratchFileAndEveryResultFileOnce)
{
    const auto names = scratchFileNames();
    const std::set<std::string> distinct(names.begin(), names.end());
    EXPECT_EQ(names.size(), 1u + kHorizontalFileCount + std::size(kVerticalResultFiles));
    for (const char* name : names)
        ASSERT_NE(name, nullptr);
    EXPECT_EQ(distinct.size(), names.size());
    EXPECT_EQ(std::string(names.front()), kPlotScratchName);
}
