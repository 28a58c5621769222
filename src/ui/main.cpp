#include "main/frmmain.h"
#include "platform/application.h"
#include "platform/desktopplatform.h"

#include "app/registry.h"
#include "app/startup.h"
#include "common/appinfo.h"
#include "common/qtlog.h"

#include <memory>

int main(int argc, char *argv[]) {
    zelp::Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zelpdev2k"));
    zelp::AppInfo::setExecutableName("zelpdev2k");
    zelp::installQtLogHandler();

    std::unique_ptr<zelp::FrmMain> window;
    zelp::DesktopPlatform platform;
    zelp::startUp(platform, zelp::systemRegistry(), zelp::StartMode::User, [&] {
        window = std::make_unique<zelp::FrmMain>();
        window->show();
    });
    return window ? app.exec() : 0;
}
