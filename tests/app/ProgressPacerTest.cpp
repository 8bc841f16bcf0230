// The pacing of a command's progress: the bar and the event passes follow
// the steps at most once per gap, counted from the end of the last one; the
// first step does both and the last sets the bar.
#include "app/ProgressPacer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using ms = std::chrono::milliseconds;

struct StepCase {
    int value;
    int at;   // ms from the start
    int took; // ms the step's work took
    bool setValue, letEvents;
};

struct PacingCase {
    std::string name;
    std::vector<StepCase> steps;
};

class ProgressPacing : public ::testing::TestWithParam<PacingCase> {};

TEST_P(ProgressPacing, DoesWhatIsDueAtEachStep) {
    // The bar every 30 ms, events every 10 ms, up to the value 100.
    ProgressPacer pacer(100, ms(30), ms(10));
    const ProgressPacer::Clock::time_point start{};
    for (const StepCase& s : GetParam().steps) {
        const ProgressPacer::Step step = pacer.step(s.value, start + ms(s.at));
        EXPECT_EQ(step.setValue, s.setValue) << "value " << s.value << " at " << s.at;
        EXPECT_EQ(step.letEvents, s.letEvents) << "value " << s.value << " at " << s.at;
        pacer.done(step, start + ms(s.at + s.took));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Steps, ProgressPacing,
    ::testing::Values(PacingCase{"TheFirstStepDoesBoth", {{1, 0, 0, true, true}, {2, 1, 0, false, false}}},
                      PacingCase{"EventsComeBeforeTheBar",
                                 {{1, 0, 0, true, true},
                                  {2, 5, 0, false, false},
                                  {3, 10, 0, false, true},
                                  {4, 15, 0, false, false},
                                  {5, 20, 0, false, true},
                                  {6, 30, 0, true, true}}},
                      PacingCase{"GapsCountFromTheEndOfTheWork",
                                 {{1, 0, 25, true, true},
                                  {2, 26, 0, false, false},
                                  {3, 35, 0, false, true},
                                  {4, 55, 0, true, true}}},
                      PacingCase{"TheLastValueIsShownAtOnce",
                                 {{1, 0, 0, true, true}, {99, 1, 0, false, false}, {100, 2, 0, true, false}}},
                      PacingCase{"ASlowCommandShowsEveryStep",
                                 {{1, 0, 0, true, true}, {2, 40, 0, true, true}, {3, 80, 0, true, true}}}),
    [](const ::testing::TestParamInfo<PacingCase>& info) { return info.param.name; });

} // namespace
