#include "commands.h"
#include "consoleservices.h"

#include "app/registry.h"
#include "app/startup.h"
#include "common/appinfo.h"
#include "common/qtlog.h"

#include <QCoreApplication>

#include <csignal>

int main(int argc, char *argv[]) {
    // Past a file-size limit a write fails as on a full disk, and that file is reported.
    std::signal(SIGXFSZ, SIG_IGN);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zelpdev2k"));
    zelp::AppInfo::setExecutableName("zelpdev2k-cli");
    zelp::installQtLogHandler();
    zelp::cli::ConsoleErrorDialog errors;
    zelp::cli::ConsoleMessageBox messages;
    zelp::ErrHndlr::setDialogService(&errors);
    zelp::setMessageBoxService(&messages);
    zelp::CorePlatform platform;
    zelp::startUp(platform, zelp::systemRegistry(), zelp::StartMode::Automation, {});
    try {
        return zelp::cli::runCommandLine(QCoreApplication::arguments().mid(1));
    } catch (...) {
        const zelp::ErrorInfo error = zelp::errorFrom(std::current_exception());
        return zelp::cli::fail(QString::fromStdString(error.description));
    }
}
