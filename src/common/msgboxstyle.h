#pragma once

#include <cstdint>
#include <vector>

// The message box's style bits, button sets and answers: one table drives them all.
namespace zelp::Msg {

enum Answer : int16_t { OK = 1, Cancel = 2, Retry = 4, Yes = 6, No = 7, YesToAll = 8 };
inline constexpr int16_t CheckBoxBit = 256;

// The styles in use, by what the box is: the button set (style And 15) plus the icon (style
// And 240). A warning and an error look alike; the errors of commands carry 49.
inline constexpr int16_t kWarningNotice = 48;       // exclamation mark, OK
inline constexpr int16_t kErrorNotice = 49;         // exclamation mark, OK
inline constexpr int16_t kYesNoQuestion = 4;        // no icon; Yes, No
inline constexpr int16_t kYesNoCancelQuestion = 35; // question mark; Yes, No, Cancel
inline constexpr int16_t kYesNoWarning = 52;        // exclamation mark; Yes, No

enum class Icon { Information, Question, Exclamation };
enum class Button { OK, Yes, No, Retry, Cancel, All };

struct ButtonInfo {
    Button button;
    int16_t answer;
    const char *objectName;
    const char *caption;
    int widthTwips;
};

struct ButtonSet {
    std::vector<Button> buttons; // left to right; the first is the default button
    int16_t enterAnswer;
    int16_t escapeAnswer; // also the close box's answer
    int minWidthTwips;
};

const ButtonInfo &buttonInfo(Button button);
const ButtonSet &buttonSet(int16_t style);
Icon icon(int16_t style);
// The beep code of the icon: 32 question, 48 exclamation, 0 otherwise.
int beepCode(int16_t style);
bool wantsCheckBox(int16_t style);

// The answer a key gives (Qt key code, whatever the modifiers), 0 for none.
int16_t keyAnswer(int qtKey, int16_t style);

inline constexpr const char *kCheckBoxCaption = "In the future, do not show this &warning";
inline constexpr const char *kTitle = "Velmaris";

} // namespace zelp::Msg
