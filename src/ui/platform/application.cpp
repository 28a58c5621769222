#include "application.h"

#include "common/debuglog.h"
#include "common/errhndlr.h"

#include <cstdio>

namespace zelp {

Application::Application(int &argc, char **argv) : QApplication(argc, argv) {}

bool Application::notify(QObject *receiver, QEvent *event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        const ErrorInfo error = errorFrom(std::current_exception());
        const std::string report = ErrHndlr::buildReport(error, "zelpdev", "event loop");
        {
            QuietErrors quiet;
            quiet.step([&] { DebugLog("\r\n" + report + "\r\nunrecoverable"); });
        }
        std::fputs(report.c_str(), stderr);
        exit(1);
        return false;
    }
}

} // namespace zelp
