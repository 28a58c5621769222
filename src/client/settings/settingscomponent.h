#pragma once

#include <QString>

class QObject;
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
    // The empty object, the two texts and the two numbers are accepted for callers that
    // pass them and have no effect here.
    void ShowSettings(ClientSettings *settings, QObject *unused, SessionInfo *settings2,
                      const QString &caption, const QString &text1, const QString &text2,
                      int number1, int number2, QWidget *owner);
};

} // namespace zelp
