#pragma once

#include "host/designercommands.h"
#include "host/documentcycle.h"

#include "common/filedialog.h"

#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <map>
#include <memory>

namespace zelp::test {

// A timer that runs on the test's clock.
class ManualTimer : public OneShotTimer {
public:
    void start(int milliseconds) override {
        interval_ = milliseconds;
        elapsed_ = 0;
        active_ = true;
    }
    void stop() override { active_ = false; }
    bool isActive() const override { return active_; }
    void advance(int milliseconds) {
        elapsed_ += milliseconds;
        if (active_ && elapsed_ >= interval_) {
            active_ = false;
            fire();
        }
    }

private:
    int interval_ = 0;
    int elapsed_ = 0;
    bool active_ = false;
};

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

class ScriptedFileDialog : public FileDialogService {
public:
    std::optional<QString> choose(const FileDialogRequest &request) override {
        requests.push_back(request);
        if (answers.empty()) {
            return std::nullopt;
        }
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<std::optional<QString>> answers;
    std::vector<FileDialogRequest> requests;
};

// Writes a connection file of the built-in template.
QString writeTemplate(const QTemporaryDir &dir, const char *name, bool safe);

} // namespace zelp::test
