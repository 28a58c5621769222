#pragma once

#include "registry.h"

#include <QSize>
#include <QString>

#include <functional>
#include <optional>

namespace zelp {

// What start-up asks of the platform, so that the folder logic runs without a desktop.
class StartupPlatform {
public:
    virtual ~StartupPlatform() = default;
    virtual QString currentFolder() const = 0;
    virtual QString executableFolder() const = 0;
    // The user's personal documents folder; nullopt when the platform cannot tell.
    virtual std::optional<QString> personalFolder() const = 0;
    // Client area of a full-screen window on the primary screen, in pixels.
    virtual QSize screenClientArea() const = 0;
    // A read-only folder or one of the system's: no place for the user's files.
    virtual bool isSystemFolder(const QString &folder) const = 0;
};

// The platform as QtCore sees it; it knows no screen.
class CorePlatform : public StartupPlatform {
public:
    QString currentFolder() const override;
    QString executableFolder() const override;
    std::optional<QString> personalFolder() const override;
    QSize screenClientArea() const override;
    bool isSystemFolder(const QString &folder) const override;
};

enum class StartMode { User = 0, Automation = 1 };

inline constexpr const char *kSmallScreenWarning =
    "Velmaris 2000 Internet Edition Designer works best at 800x600 resolution or higher!";

// Fills the start-up, program and home folders.
void GetIniDir(const StartupPlatform &platform, const Registry &registry);

// The home folder that a HomePath registry value gives (the value as read, with the
// fallback already applied).
QString homeFolderFor(const QString &homePathValue, const QString &programFolder,
                      const StartupPlatform &platform);

// Resolves the folders; for a user it then warns about a small screen and shows the main
// window through showMainWindow.
void startUp(const StartupPlatform &platform, const Registry &registry, StartMode mode,
             const std::function<void()> &showMainWindow);

} // namespace zelp
