#include "startup.h"

#include "profile.h"

#include "common/ansi.h"
#include "common/errhndlr.h"
#include "common/fileutil.h"
#include "common/msgbox.h"
#include "common/msgboxstyle.h"
#include "common/workfolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace zelp {

namespace {

// Registry values are written with Windows separators; here they become the platform's.
QString nativeSeparators(QString value) {
#ifndef _WIN32
    value.replace(QLatin1Char('\\'), QLatin1Char('/'));
#endif
    return value;
}

const char *const kHomePathKey = "Software\\Mirel\\ZELP2K\\HomePath";

} // namespace

QString CorePlatform::currentFolder() const {
    return QDir::currentPath();
}

QString CorePlatform::executableFolder() const {
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                        : QDir::currentPath();
}

std::optional<QString> CorePlatform::personalFolder() const {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    return folder;
}

bool CorePlatform::isSystemFolder(const QString &folder) const {
    return zelp::isSystemFolder(folder);
}

QSize CorePlatform::screenClientArea() const {
    return {};
}

QString homeFolderFor(const QString &homePathValue, const QString &programFolder,
                      const StartupPlatform &platform) {
    // A program folder the user owns keeps the sessions beside the program; an installed
    // program keeps them in the user's documents folder.
    QString sessions = programFolder + QStringLiteral("Sessions");
    if (platform.isSystemFolder(programFolder)) {
        if (std::optional<QString> personal = platform.personalFolder()) {
            sessions = withTrailingSeparator(*personal) + QStringLiteral("Sessions");
        }
    }
    const QChar sep = folderSeparator();
    const QString value = nativeSeparators(homePathValue);
    const QString probe = (value + sep).left(13);
    if (probe.compare(QStringLiteral("my documents") + sep, Qt::CaseInsensitive) != 0) {
        return sessions;
    }
    try {
        std::optional<QString> personal = platform.personalFolder();
        if (!personal) {
            return sessions;
        }
        QString folder = *personal;
        const qsizetype nul = folder.indexOf(QChar(0));
        if (nul >= 0) {
            folder.truncate(nul);
        }
        if (!folder.isEmpty() && !isPathSeparator(folder.back())) {
            folder += sep;
        }
        QString rest = value.mid(12);
        if (rest.startsWith(sep)) {
            rest.remove(0, 1);
        }
        return folder + rest;
    } catch (...) {
        return sessions;
    }
}

void GetIniDir(const StartupPlatform &platform, const Registry &registry) {
    Guarded guard("zelpdev", "GetIniDir");
    WorkFolders &folders = workFolders();
    guard.step([&] { folders.startup = withTrailingSeparator(platform.currentFolder()); });
    guard.step([&] { folders.program = withTrailingSeparator(platform.executableFolder()); });
    QString value;
    guard.step([&] {
        // The fallback is applied here rather than in the registry's code page, so that a
        // program folder outside that code page survives.
        value = Ansi::toUnicode(ReadRegistryValue(registry, kHiveCurrentUser, kHomePathKey, ""));
        if (value.isEmpty()) {
            value = folders.program + QStringLiteral("Sessions") + folderSeparator();
        }
    });
    guard.step([&] { folders.home = homeFolderFor(value, folders.program, platform); });
}

void startUp(const StartupPlatform &platform, const Registry &registry, StartMode mode,
             const std::function<void()> &showMainWindow) {
    GetIniDir(platform, registry);
    if (mode == StartMode::Automation) {
        return;
    }
    const QSize screen = platform.screenClientArea();
    if (screen.width() < 700 || screen.height() < 500) {
        MessageBox(QString::fromLatin1(kSmallScreenWarning), Msg::kWarningNotice);
    }
    if (showMainWindow) {
        showMainWindow();
    }
}

} // namespace zelp
