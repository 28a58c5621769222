#pragma once

#include "common/errhndlr.h"
#include "common/msgbox.h"

namespace zelp::cli {

// The companion has no window: an unanticipated error is printed and fails the command.
class ConsoleErrorDialog : public ErrorDialogService {
public:
    std::optional<int16_t> choose(const std::string &report) override;
    void showFallback(const std::string &report) override;
};

// Notices and questions are printed on stderr; a question takes its Escape answer, the
// cautious one (No or Cancel), since nobody is there to say yes.
class ConsoleMessageBox : public MessageBoxService {
public:
    int16_t showMessage(const QString &text, int16_t style) override;
};

} // namespace zelp::cli
