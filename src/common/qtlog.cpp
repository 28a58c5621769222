#include "qtlog.h"

#include "debuglog.h"
#include "errhndlr.h"

#include <QtGlobal>

#include <cstdio>

namespace zelp {

namespace {

QtMessageHandler g_previous = nullptr;

void handler(QtMsgType type, const QMessageLogContext &context, const QString &message) {
    const char *kind = nullptr;
    switch (type) {
    case QtWarningMsg:
        kind = "Qt warning";
        break;
    case QtCriticalMsg:
        kind = "Qt critical";
        break;
    case QtFatalMsg:
        kind = "Qt fatal";
        break;
    default:
        break;
    }
    if (kind) {
        QuietErrors quiet;
        quiet.step([&] { DebugLog(std::string(kind) + ":\t" + message.toStdString()); });
    }
    if (g_previous) {
        g_previous(type, context, message);
    }
}

} // namespace

void installQtLogHandler() {
    g_previous = qInstallMessageHandler(handler);
}

} // namespace zelp
