#include "consoleservices.h"

#include "common/msgboxstyle.h"

#include <cstdio>

namespace zelp::cli {

std::optional<int16_t> ConsoleErrorDialog::choose(const std::string &report) {
    std::fprintf(stderr, "zelpdev2k-cli: unanticipated error\n%s", report.c_str());
    return int16_t{ChoiceFail};
}

void ConsoleErrorDialog::showFallback(const std::string &report) {
    choose(report);
}

int16_t ConsoleMessageBox::showMessage(const QString &text, int16_t style) {
    // One line, as every message of the companion.
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(u'\n', u' ');
    std::fprintf(stderr, "zelpdev2k-cli: %s\n", line.toLocal8Bit().constData());
    return Msg::buttonSet(style).escapeAnswer;
}

} // namespace zelp::cli
