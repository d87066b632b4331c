#include "WPxFunctionCodes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

// Each rule over every code of the table and the values around it: a value
// outside the table comes from a setter or from an instrument's answer (the
// live view reads the function word as it is), and the rules written "from
// Fn on" take it as the last functions, the others as no function.
TEST(WPxFunctionCodes, EachRuleHoldsForExactlyItsCodes)
{
    using namespace WPxFunctions;
    struct Case {
        const char *rule;
        bool (*holds)(std::int32_t);
        std::vector<std::int32_t> codes; // among the probes below
    };
    const Case cases[] = {
        {"IsKnown", IsKnown, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {"ChannelFIsInputB", ChannelFIsInputB, {0}},
        {"ComputesChannelF", ComputesChannelF, {1, 2, 3, 4, 5}},
        {"IsPercentage", IsPercentage, {3, 5}},
        {"OneLineShowsChannelA", OneLineShowsChannelA, {0, 6}},
        {"TakesChannelChoice", TakesChannelChoice, {-32768, -1, 0, 1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 32767}},
        {"IsCounterFunction", IsCounterFunction, {7, 8, 9, 10, 11, 12, 32767}},
        {"UsesCounterA", UsesCounterA, {7, 9, 10}},
        {"UsesCounterB", UsesCounterB, {8, 9, 10}},
        {"CountersTakeChannelA", CountersTakeChannelA, {9, 10, 11, 12, 32767}},
    };
    const std::int32_t probes[] = {-32768, -1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 32767};
    for (const Case &c : cases) {
        for (const std::int32_t f : probes) {
            const bool expected = std::find(c.codes.begin(), c.codes.end(), f) != c.codes.end();
            EXPECT_EQ(c.holds(f), expected) << c.rule << " at " << f;
        }
    }
}
