#pragma once

#include "documentcycle.h"

#include "files/launchpage.h"

#include <QString>

#include <functional>
#include <optional>

namespace zelp {

// The designer's dialogs, as the commands use them; the window shows the real ones.
class DesignerDialogs {
public:
    struct ConnectionType {
        bool cancelled = false;
        bool unsafe = false;
    };
    virtual ~DesignerDialogs() = default;
    virtual ConnectionType askConnectionType() = 0;
    // The save dialog's result code; html is updated as the dialog does.
    virtual int16_t askSave(QString &sessionFile, QString &htmlFile) = 0;
    // The settings dialog component, modal.
    virtual void showSettings(ClientDocument &document) = 0;
};

// Why the main window is closing: 0 when the user closed it, anything else when the program,
// the session or an owner closes it.
inline constexpr int16_t kCloseByUser = 0;
inline constexpr int16_t kCloseBySessionEnd = 2; // the desktop session ends
inline constexpr int16_t kCloseByTaskList = 3;   // terminated from outside (SIGTERM)

// The commands behind the eight buttons and their menu items, and the closing check.
class DesignerCommands {
public:
    // Turns a chosen file into the one to load (a converted copy, say); nullopt ends Open.
    using OpenCheck = std::function<std::optional<QString>(const QString &chosen)>;

    DesignerCommands(DocumentCycle &cycle, DesignerDialogs &dialogs);

    void New();
    void Open();
    // Open with the file already chosen (given on the command line, say).
    void OpenFile(const QString &chosen);
    void Close();
    void Save();
    void Settings();
    void Script();
    void Connect();
    void Disconnect();
    // True when the window must stay open.
    bool queryClose(int16_t reason);

    LaunchPageState &launchPage() { return launchPage_; }
    void setOpenCheck(OpenCheck check) { openCheck_ = std::move(check); }

private:
    DocumentCycle &cycle_;
    DesignerDialogs &dialogs_;
    LaunchPageState launchPage_;
    OpenCheck openCheck_;
};

namespace CommandTexts {
inline constexpr const char *kNewTitle = "New Velmaris Internet Configuration File";
inline constexpr const char *kNewFilter =
    "Velmaris Internet Configuration Files (*.ats)|*.ats|All Files (*.*)|*.*";
inline constexpr const char *kOpenTitle = "Open Velmaris Internet Connection File";
inline constexpr const char *kSaveAsTitle = "Save Velmaris Internet Configuration File As";
inline constexpr const char *kOpenFilter =
    "Velmaris Internet Connection Files (*.ats)|*.ats|All Files (*.*)|*.*";
inline constexpr const char *kUnableToWrite = "Unable to write file ";
inline constexpr const char *kSaveChanges = "Do you want to save your changes before closing?";
} // namespace CommandTexts

} // namespace zelp
