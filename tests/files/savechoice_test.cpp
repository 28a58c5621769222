#include "files/savechoice.h"

#include <gtest/gtest.h>

namespace zelp::test {
namespace {

struct ChoiceCase {
    std::array<bool, 3> selected;
    bool gui;
    int16_t result;
};

const ChoiceCase kChoices[] = {
    {{true, false, false}, false, 1},  {{false, true, false}, false, 2},
    {{false, false, true}, false, 3},  {{true, false, false}, true, 129},
    {{false, true, false}, true, 130}, {{false, false, true}, true, 131},
    {{false, false, false}, false, 0}, {{false, false, false}, true, 0},
    {{false, true, true}, false, 2}, // the first selected one counts
};

TEST(SaveChoice, OptionAndGuiBoxMakeTheResult) {
    for (const ChoiceCase &c : kChoices) {
        SCOPED_TRACE(testing::Message()
                     << c.selected[0] << c.selected[1] << c.selected[2] << " gui " << c.gui);
        const int16_t r = SaveChoice::resultFor(c.selected, c.gui);
        EXPECT_EQ(r, c.result);
        EXPECT_EQ(SaveChoice::guiSupportOf(r), c.result > 128);
        EXPECT_EQ(SaveChoice::pageOf(r), c.result % 128);
    }
}

} // namespace
} // namespace zelp::test
