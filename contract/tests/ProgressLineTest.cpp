#include "ProgressLine.h"

#include <gtest/gtest.h>

using namespace kd;

TEST(ProgressLine, FormOfBothStages)
{
    EXPECT_EQ(frequencyProgressLine(AnalysisStage::Horizontal, "      1.00"),
              " HORIZONTAL BEHAVIOR, AT FREQUENCY =       1.00");
    EXPECT_EQ(frequencyProgressLine(AnalysisStage::VerticalRocking, "     12.50"),
              " VERTICAL/ROCKING BEHAVIOR, AT FREQUENCY =      12.50");
}

TEST(ProgressLine, OnlyTheStagesLinesCount)
{
    for (AnalysisStage stage : {AnalysisStage::Horizontal, AnalysisStage::VerticalRocking})
        EXPECT_TRUE(isFrequencyProgressLine(frequencyProgressLine(stage, "  9999.99")));
    const char* others[] = {
        "",
        " DATA READING COMPLETED.",
        " COMPUTATION IN PROGRESS!",
        " A RESULT AT FREQUENCY      0.000 HZ IS NOT A FINITE NUMBER: THE RUN IS STOPPED WITHOUT RESULTS.",
        " THE RUN IS STOPPED: HORIZONTAL BEHAVIOR, AT FREQUENCY = 1",  // the text inside another message
        " HORIZONTAL BEHAVIOR",
    };
    for (const char* line : others) {
        SCOPED_TRACE(line);
        EXPECT_FALSE(isFrequencyProgressLine(line));
    }
}
