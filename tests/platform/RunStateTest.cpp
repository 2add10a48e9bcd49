#include "platform/RunState.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct Counters {
    std::string name = "default";
    std::vector<int> values;
};

struct LatePart {
    std::string text = "late default";
};

} // namespace

TEST(RunState, ScopeGivesEmptyPartsAndPutsTheOldOnesBack) {
    Counters& part = tl::RunState::Part<Counters>();
    part.name = "outer";
    part.values = {1, 2};
    {
        tl::ScopedRunState first;
        EXPECT_EQ(&tl::RunState::Part<Counters>(), &part) << "a part never moves";
        EXPECT_EQ(part.name, "default");
        EXPECT_TRUE(part.values.empty());
        part.name = "first";
        {
            tl::ScopedRunState second;
            EXPECT_EQ(part.name, "default");
            part.values.push_back(3);
        }
        EXPECT_EQ(part.name, "first");
        EXPECT_TRUE(part.values.empty());
    }
    EXPECT_EQ(part.name, "outer");
    EXPECT_EQ(part.values, (std::vector<int>{1, 2}));
    part = Counters{};
}

TEST(RunState, PartFirstUsedInsideAScopeIsEmptyAgainAfterIt) {
    {
        tl::ScopedRunState scope;
        LatePart& late = tl::RunState::Part<LatePart>();
        EXPECT_EQ(late.text, "late default");
        late.text = "changed";
    }
    EXPECT_EQ(tl::RunState::Part<LatePart>().text, "late default");
    tl::RunState::Restore(); // without a Save: nothing happens
    EXPECT_EQ(tl::RunState::Part<LatePart>().text, "late default");
}
