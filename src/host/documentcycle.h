#pragma once

#include "commandstates.h"
#include "oneshottimer.h"

#include "client/core/clientdocument.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace zelp {

// What the cycle needs of the document host.
class HostBrowser {
public:
    virtual ~HostBrowser() = default;
    virtual void Navigate(const QString &url) = 0;
    virtual void Stop() = 0;
    virtual QObject *Document() const = 0;
    virtual QString LocationURL() const = 0;
};

// What the cycle needs of the main window.
class HostWindow {
public:
    virtual ~HostWindow() = default;
    virtual void ShowPreview() = 0;
    virtual void HidePreview() = 0;
    virtual void UpdateCaption() = 0;
    virtual void setCommandEnabled(Command command, bool button, bool menu) = 0;
};

// The asynchronous load and save of the hosted document: a navigation starts each, the
// browser's completion or a 2000 ms watchdog ends it, whichever comes first.
class DocumentCycle {
public:
    static constexpr int kWatchdogMilliseconds = 2000;

    DocumentCycle(HostBrowser &browser, HostWindow &window, std::unique_ptr<OneShotTimer> watchdog,
                  std::function<std::string()> defaultScript);

    void BeginLoad(const QString &path);
    void BeginSave();
    // The browser's NavigateComplete2; its arguments are not used.
    void navigateComplete();
    // The browser's UnloadFailed: the document could not write itself and is still hosted.
    // It is kept open with its edits, and the user may save it under another name.
    void saveFailed(const QString &path, const QString &reason);
    // Asks for the other name; nullopt when the user gives none.
    void setOtherNameChooser(std::function<std::optional<QString>()> chooser) {
        chooseOtherName_ = std::move(chooser);
    }

    void enterState(CommandState state);
    // The document or the connected state, as the test connection goes; a document is hosted.
    void setConnected(bool connected);

    ClientDocument *document() const { return document_; }
    void dropDocument() { document_ = nullptr; }

    QString currentFile;
    QString pendingPath;
    bool safeClient = false;
    bool newFile = false;
    bool loading = false;
    bool saving = false;
    bool saveStarted = false;
    int16_t pinned = 0;

    HostBrowser &browser() { return browser_; }
    HostWindow &window() { return window_; }

private:
    void LoadComplete();
    void SaveComplete();
    void watchdogTick();
    void failed(const QString &message);
    void disarm();

    HostBrowser &browser_;
    HostWindow &window_;
    std::unique_ptr<OneShotTimer> watchdog_;
    std::function<std::string()> defaultScript_;
    std::function<std::optional<QString>()> chooseOtherName_;
    QPointer<ClientDocument> document_;
    QObject connections_; // ends the document's connections to the cycle with the cycle
};

namespace CycleMessages {
inline constexpr const char *kLoadError =
    "Error loading Velmaris Internet configuration file. File may be corrupt!";
inline constexpr const char *kMissingFile =
    "Error loading Velmaris Internet configuration file %1: the file does not exist.";
inline constexpr const char *kSaveError =
    "Error saving Velmaris Internet configuration file. File may be corrupt!";
inline constexpr const char *kSaveFailed = "Unable to save the connection file %1:\r\n%2\r\n\r\nDo "
                                           "you want to save it under another name?";
} // namespace CycleMessages

} // namespace zelp
