#include "files/strings.h"

#include <gtest/gtest.h>

namespace zelp::test {
namespace {

TEST(Strings, ConnectionSafetyExplanation) {
    EXPECT_EQ(stringResource(1001).toStdString(),
              "Velmaris 2000 Internet connections can be marked as \"Safe\" or \"Unsafe\".\n\n"
              "Safe connections will not make changes to the user's file system - in response to "
              "user input, host commands or scripts. Safe connections cannot perform file "
              "transfers, data capture, or execute DOS/Windows commands.\n\n"
              "Unsafe connections may cause Internet Explorer to issue a warning or block the "
              "connection.");
    EXPECT_TRUE(stringResource(1002).isEmpty());
}

} // namespace
} // namespace zelp::test
