#pragma once

#include "host/designercommands.h"

#include "client/settings/settingscomponent.h"

class QWidget;

namespace zelp {

// The designer's real dialogs, each loaded for one use over the main window.
class WindowDialogs : public DesignerDialogs {
public:
    WindowDialogs(QWidget *owner, SettingsDialogComponent &settings)
        : owner_(owner), settings_(settings) {}

    ConnectionType askConnectionType() override;
    int16_t askSave(QString &sessionFile, QString &htmlFile) override;
    void showSettings(ClientDocument &document) override;

private:
    QWidget *owner_;
    SettingsDialogComponent &settings_;
};

} // namespace zelp
