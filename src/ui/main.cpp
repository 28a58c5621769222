#include "main/frmmain.h"
#include "platform/application.h"
#include "platform/desktopplatform.h"
#include "platform/qtfiledialog.h"
#include "ui/common/frmerrhndlr.h"
#include "ui/common/frmmsgbox.h"
#include "ui/common/pointerdisplay.h"
#include "ui/help/helpcontroller.h"
#include "ui/help/helpondemand.h"

#include "app/registry.h"
#include "app/startup.h"
#include "app/terminationsignal.h"
#include "common/appinfo.h"
#include "common/qtlog.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QSessionManager>

#include <memory>

namespace {

void describe(QCommandLineParser &parser) {
    parser.setApplicationDescription(
        QStringLiteral("Designs, tests and publishes Velmaris 2000 connection files."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("A connection file to open."),
                                 QStringLiteral("[FILE]"));
}

void nameApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("zelpdev2k"));
    QCoreApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                                .arg(zelp::AppInfo::versionMajor())
                                                .arg(zelp::AppInfo::versionMinor())
                                                .arg(zelp::AppInfo::versionRevision()));
}

// --help and --version need no display: they are answered before the GUI exists.
void answerWithoutDisplay(int argc, char *argv[]) {
    QStringList args;
    for (int i = 0; i < argc; ++i) {
        args << QString::fromLocal8Bit(argv[i]);
    }
    QCommandLineParser parser;
    describe(parser);
    parser.parse(args);
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("version"))) {
        QCoreApplication core(argc, argv);
        nameApplication();
        parser.process(core); // prints and exits 0
    }
}

} // namespace

int main(int argc, char *argv[]) {
    answerWithoutDisplay(argc, argv);
    zelp::Application app(argc, argv);
    nameApplication();
    zelp::AppInfo::setExecutableName("zelpdev2k");
    zelp::installQtLogHandler();

    // A file on the command line is what a double-click on a connection file gives.
    QCommandLineParser parser;
    describe(parser);
    parser.process(app);
    if (parser.positionalArguments().size() > 1) {
        parser.showHelp(2);
    }
    const QString file = parser.positionalArguments().value(0);

    zelp::installPointerDisplay();
    zelp::WidgetMessageBox messages;
    zelp::WidgetErrorDialog errors;
    zelp::setMessageBoxService(&messages);
    zelp::ErrHndlr::setDialogService(&errors);
    zelp::QtFileDialogService files;
    zelp::setFileDialogService(&files);
    zelp::HelpOnDemand help;
    zelp::setHelpService(&help);
    zelp::HelpController f1;
    app.installEventFilter(&f1);
    struct Uninstall {
        ~Uninstall() {
            zelp::setHelpService(nullptr);
            zelp::setFileDialogService(nullptr);
            zelp::setMessageBoxService(nullptr);
            zelp::ErrHndlr::setDialogService(nullptr);
        }
    } uninstall;

    std::unique_ptr<zelp::FrmMain> window;
    zelp::DesktopPlatform platform;
    zelp::startUp(platform, zelp::systemRegistry(), zelp::StartMode::User, [&] {
        window = std::make_unique<zelp::FrmMain>();
        window->show();
        if (!file.isEmpty()) {
            window->openFromCommandLine(QFileInfo(file).absoluteFilePath());
        }
    });
    if (!window) {
        return 0;
    }
    // A session that ends or a termination closes the window without a question and
    // remembers its position, as any other close by the program does.
    zelp::TerminationSignal terminated;
    QObject::connect(&terminated, &zelp::TerminationSignal::received, window.get(),
                     [&] { window->endSession(zelp::kCloseByTaskList); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, window.get(),
                     [&](QSessionManager &) { window->endSession(zelp::kCloseBySessionEnd); });
    return app.exec();
}
