#pragma once

#include "host/designercommands.h"
#include "host/documentcycle.h"

#include "common/filedialog.h"
#include "support/manualtimer.h"
#include "support/scriptedfiledialog.h"

#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <map>
#include <memory>

namespace zelp::test {

// A document host whose navigations the test completes: a navigation to a file hosts the
// client document loaded from it (or a plain object), "about:blank" lets it go, saving a
// changed document as the real host does.
class FakeBrowser : public HostBrowser {
public:
    void Navigate(const QString &url) override;
    void Stop() override { ++stops; }
    QObject *Document() const override;
    QString LocationURL() const override { return location; }

    // Makes the last navigation arrive; the notification is left to the test.
    void arrive();

    QStringList navigations;
    QString location;
    int stops = 0;
    std::unique_ptr<ClientDocument> hosted;
    QObject nonClient;
    bool showsNonClient = false;
};

class FakeWindow : public HostWindow {
public:
    void ShowPreview() override { preview = true; }
    void HidePreview() override { preview = false; }
    void UpdateCaption() override { ++captions; }
    void setCommandEnabled(Command command, bool button, bool menu) override {
        buttons[command] = button;
        menus[command] = menu;
    }
    // "NOSCEgxd" with "-" for each of New, Open, Save, Close, Settings, Script, Connect and
    // Disconnect that is off.
    std::string enabledButtons() const;

    bool preview = false;
    int captions = 0;
    std::map<Command, bool> buttons, menus;
};

// Writes a connection file of the built-in template.
QString writeTemplate(const QTemporaryDir &dir, const char *name, bool safe);

} // namespace zelp::test
