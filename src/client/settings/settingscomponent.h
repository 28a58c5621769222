#pragma once

#include <QString>

class QWidget;

namespace zelp {

class ClientSettings;
class SessionInfo;

// The settings dialog component of the client: one object for the life of the designer's
// window, one call per dialog.
class SettingsDialogComponent {
public:
    // Shows the modal settings dialog for settings, with the state of the running session
    // (settings2) in its status line, and writes back what the user really changed.
    void ShowSettings(ClientSettings *settings, SessionInfo *settings2, const QString &caption,
                      QWidget *owner);
};

} // namespace zelp
