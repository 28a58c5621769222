#include "msgboxstyle.h"

#include <Qt>

#include <algorithm>
#include <array>

namespace zelp::Msg {

namespace {

const std::array<ButtonInfo, 6> kButtons = {{
    {Button::OK, OK, "cmdOK", "&OK", 650},
    {Button::Yes, Yes, "cmdYes", "&Yes", 650},
    {Button::No, No, "cmdNo", "&No", 650},
    {Button::Retry, Retry, "cmdRetry", "&Retry", 650},
    {Button::Cancel, Cancel, "cmdCancel", "&Cancel", 650},
    {Button::All, YesToAll, "cmdAll", "Yes to &All", 1008},
}};

const ButtonSet kOkOnly{{Button::OK}, OK, OK, 1440};

// Indexed by style And 15 for the sets 3 to 7.
const std::array<ButtonSet, 5> kSets = {{
    {{Button::Yes, Button::No, Button::Cancel}, Yes, Cancel, 2880},
    {{Button::Yes, Button::No}, Yes, No, 2160},
    {{Button::Retry, Button::Cancel}, Retry, Cancel, 2160},
    {{Button::Yes, Button::All, Button::No}, Yes, No, 2880},
    {{Button::Yes, Button::All, Button::No, Button::Cancel}, Yes, No, 3600},
}};

struct KeyRule {
    int key;
    Button needs;
};
const std::array<KeyRule, 6> kLetterKeys = {{
    {Qt::Key_A, Button::All},
    {Qt::Key_C, Button::Cancel},
    {Qt::Key_N, Button::No},
    {Qt::Key_O, Button::OK},
    {Qt::Key_R, Button::Retry},
    {Qt::Key_Y, Button::Yes},
}};

} // namespace

const ButtonInfo &buttonInfo(Button button) {
    return kButtons[static_cast<std::size_t>(button)];
}

const ButtonSet &buttonSet(int16_t style) {
    const int set = style & 15;
    return (set >= 3 && set <= 7) ? kSets[static_cast<std::size_t>(set - 3)] : kOkOnly;
}

Icon icon(int16_t style) {
    switch (style & 240) {
    case 32:
        return Icon::Question;
    case 48:
        return Icon::Exclamation;
    default:
        return Icon::Information;
    }
}

int beepCode(int16_t style) {
    switch (icon(style)) {
    case Icon::Question:
        return 32;
    case Icon::Exclamation:
        return 48;
    default:
        return 0;
    }
}

bool wantsCheckBox(int16_t style) {
    return (style & CheckBoxBit) != 0;
}

int16_t keyAnswer(int qtKey, int16_t style) {
    const ButtonSet &set = buttonSet(style);
    if (qtKey == Qt::Key_Return || qtKey == Qt::Key_Enter) {
        return set.enterAnswer;
    }
    if (qtKey == Qt::Key_Escape) {
        return set.escapeAnswer;
    }
    for (const KeyRule &rule : kLetterKeys) {
        if (rule.key == qtKey &&
            std::find(set.buttons.begin(), set.buttons.end(), rule.needs) != set.buttons.end()) {
            return buttonInfo(rule.needs).answer;
        }
    }
    return 0;
}

} // namespace zelp::Msg
