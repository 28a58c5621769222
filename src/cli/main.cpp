#include "commands.h"

#include "app/registry.h"
#include "app/startup.h"
#include "common/appinfo.h"
#include "common/qtlog.h"

#include <QCoreApplication>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zelpdev2k"));
    zelp::AppInfo::setExecutableName("zelpdev2k-cli");
    zelp::installQtLogHandler();
    zelp::CorePlatform platform;
    zelp::startUp(platform, zelp::systemRegistry(), zelp::StartMode::Automation, {});
    return zelp::cli::runCommandLine(QCoreApplication::arguments().mid(1));
}
