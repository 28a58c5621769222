#include "strings.h"

namespace zelp {

namespace {

// What the safety dialog explains before the user picks the kind of a new connection.
constexpr char16_t kConnectionSafety[] =
    u"Velmaris 2000 Internet connections can be marked as \"Safe\" or \"Unsafe\".\n"
    u"\n"
    u"Safe connections will not make changes to the user's file system - in response to user "
    u"input, host commands or scripts. Safe connections cannot perform file transfers, data "
    u"capture, or execute DOS/Windows commands.\n"
    u"\n"
    u"Unsafe connections may cause Internet Explorer to issue a warning or block the "
    u"connection.";

} // namespace

QString stringResource(int id) {
    switch (id) {
    case kStringConnectionSafety:
        return QString::fromUtf16(kConnectionSafety);
    default:
        return {};
    }
}

} // namespace zelp
