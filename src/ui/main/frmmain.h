#pragma once

#include "host/designercommands.h"
#include "host/documentcycle.h"

#include "client/settings/settingscomponent.h"

#include <QMainWindow>

#include <array>
#include <map>
#include <memory>

class QAction;
class QLabel;
class QSettings;
class QToolButton;

namespace zelp {

class WebBrowser;

// The designer's main window: the button column, the menus repeating it, the framed preview
// of the hosted connection on a tiled background, the remembered position.
class FrmMain : public QMainWindow, public HostWindow {
    Q_OBJECT
    Q_PROPERTY(bool DesignMode READ DesignMode)
public:
    // settings: the per-user store of the window position; nullptr for the platform's own.
    explicit FrmMain(QSettings *settings = nullptr,
                     std::unique_ptr<OneShotTimer> watchdog = nullptr, QWidget *parent = nullptr);
    ~FrmMain() override;

    bool DesignMode() const { return true; }

    void ShowPreview() override;
    void HidePreview() override;
    void UpdateCaption() override;
    void setCommandEnabled(Command command, bool button, bool menu) override;

    DocumentCycle &cycle() { return *cycle_; }
    DesignerCommands &commands() { return *commands_; }
    // Opens path as the menu's Open does, once the window is up.
    void openFromCommandLine(const QString &path);
    WebBrowser *browser() const { return browser_; }
    // Replaces the window's own dialogs, for tests that answer them.
    void setDialogs(DesignerDialogs *dialogs);

    QToolButton *button(Command command) const { return buttons_.at(size_t(command)); }
    QAction *menuItem(Command command) const { return menuItems_.at(size_t(command)); }
    bool previewShowing() const;

    // The window's minimum client size and its design client size, in twips.
    static constexpr int kMinClientWidth = 6000;
    static constexpr int kMinClientHeight = 6240;
    static constexpr int kDesignClientWidth = 10680;
    static constexpr int kDesignClientHeight = 6270;

public Q_SLOTS:
    void showAboutBox();
    // Closes the window as the user does, with the question about unsaved changes.
    void exitByUser();
    // Closes the window for the session's end or a termination: the closing check without
    // a question, then the usual unload that stores the position.
    void endSession(int16_t reason);

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    class Client;
    void createMenus();
    void createButtons();
    void installOpenCheck();
    void layoutClient();
    void restorePlacement();
    void applyOuterSize();
    void endSession(int16_t reason, int modalTries);
    void storePlacement();

    std::unique_ptr<QSettings> ownSettings_;
    QSettings *settings_;
    Client *client_ = nullptr;
    QLabel *lbPreview_ = nullptr;
    WebBrowser *browser_ = nullptr;
    std::array<QToolButton *, kCommandCount> buttons_{};
    std::array<QAction *, kCommandCount> menuItems_{};
    std::unique_ptr<HostBrowser> hostBrowser_;
    std::unique_ptr<DesignerDialogs> ownDialogs_;
    DesignerDialogs *dialogs_ = nullptr;
    std::unique_ptr<DocumentCycle> cycle_;
    std::unique_ptr<DesignerCommands> commands_;
    SettingsDialogComponent settingsComponent_;
    int16_t closeReason_ = 1;
    bool restoring_ = false;
    QSize restoredOuter_; // pixels; a negative side: none remembered, the design size
    bool frameKnown_ = false;
};

} // namespace zelp
