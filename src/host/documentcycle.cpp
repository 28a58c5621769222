#include "documentcycle.h"

#include "common/mousepointer.h"
#include "common/msgbox.h"
#include "common/msgboxstyle.h"

#include <QFileInfo>

namespace zelp {

namespace {
const QString kBlank = QStringLiteral("about:blank");

// A file that is not there is named; one that is there but unreadable may be corrupt.
QString loadErrorFor(const QString &path) {
    if (!path.isEmpty() && !QFileInfo::exists(path)) {
        return QString::fromLatin1(CycleMessages::kMissingFile).arg(path);
    }
    return QString::fromLatin1(CycleMessages::kLoadError);
}
} // namespace

DocumentCycle::DocumentCycle(HostBrowser &browser, HostWindow &window,
                             std::unique_ptr<OneShotTimer> watchdog,
                             std::function<std::string()> defaultScript)
    : browser_(browser), window_(window), watchdog_(std::move(watchdog)),
      defaultScript_(std::move(defaultScript)) {
    watchdog_->setHandler([this] { watchdogTick(); });
}

void DocumentCycle::enterState(CommandState state) {
    for (Command command : kAllCommands) {
        const bool on = commandEnabled(state, command);
        window_.setCommandEnabled(command, on, on);
    }
}

void DocumentCycle::setConnected(bool connected) {
    enterState(connected ? CommandState::Connected : CommandState::Document);
}

void DocumentCycle::BeginLoad(const QString &path) {
    enterState(CommandState::Busy);
    loading = true;
    pinned = 0;
    pendingPath = path;
    MousePointer::set(MousePointer::Hourglass);
    browser_.Navigate(path);
    watchdog_->start(kWatchdogMilliseconds);
}

void DocumentCycle::LoadComplete() {
    auto *doc = qobject_cast<ClientDocument *>(browser_.Document());
    if (!doc) {
        document_ = nullptr;
        currentFile.clear();
        browser_.Stop();
        browser_.Navigate(kBlank);
        enterState(CommandState::NoDocument);
        MessageBox(loadErrorFor(pendingPath), Msg::kErrorNotice);
        window_.UpdateCaption();
        return;
    }
    document_ = doc;
    // Connect and Disconnect follow the test connection: one that fails or ends by itself
    // gives Connect back.
    QObject::connect(doc->Settings2(), &SessionInfo::updated, &connections_, [this, doc] {
        if (document_ == doc && !loading && !saving) {
            setConnected(doc->Settings2()->Connected());
        }
    });
    window_.ShowPreview();
    if (newFile && defaultScript_) {
        doc->setScript(defaultScript_());
    }
    safeClient = doc->SafeMode();
    pinned = doc->Settings()->Pinned();
    enterState(CommandState::Document);
    window_.UpdateCaption();
}

void DocumentCycle::BeginSave() {
    if (!document_) {
        return;
    }
    document_->Disconnect();
    document_->Settings()->setPinned(pinned);
    document_->PropChanged();
    document_ = nullptr;
    enterState(CommandState::Busy);
    saving = true;
    MousePointer::set(MousePointer::Hourglass);
    window_.HidePreview();
    watchdog_->start(kWatchdogMilliseconds);
    browser_.Navigate(kBlank);
}

void DocumentCycle::SaveComplete() {
    document_ = nullptr;
    currentFile.clear();
    browser_.Navigate(kBlank);
    enterState(CommandState::NoDocument);
    window_.UpdateCaption();
}

void DocumentCycle::disarm() {
    watchdog_->stop();
    MousePointer::set(MousePointer::Default);
}

void DocumentCycle::navigateComplete() {
    disarm();
    if (loading) {
        loading = false;
        LoadComplete();
    } else if (saving) {
        saving = false;
        SaveComplete();
    }
}

void DocumentCycle::saveFailed(const QString &path, const QString &reason) {
    const QString message = QString::fromLatin1(CycleMessages::kSaveFailed).arg(path, reason);
    if (!saving) {
        MessageBox(message.section(QStringLiteral("\r\n\r\n"), 0, 0), Msg::kErrorNotice);
        return;
    }
    // The watchdog must not decide while the user reads the message.
    disarm();
    saving = false;
    document_ = qobject_cast<ClientDocument *>(browser_.Document());
    if (!document_) {
        failed(QString::fromLatin1(CycleMessages::kSaveError));
        return;
    }
    window_.ShowPreview();
    enterState(CommandState::Document);
    window_.UpdateCaption();
    if (MessageBox(message, Msg::kYesNoWarning) != Msg::Yes || !chooseOtherName_) {
        return;
    }
    const std::optional<QString> other = chooseOtherName_();
    if (other && document_) {
        document_->setPath(*other);
        currentFile = *other;
        window_.UpdateCaption();
        BeginSave();
    }
}

void DocumentCycle::failed(const QString &message) {
    browser_.Navigate(kBlank);
    MessageBox(message, Msg::kErrorNotice);
    enterState(CommandState::NoDocument);
    window_.UpdateCaption();
}

void DocumentCycle::watchdogTick() {
    disarm();
    browser_.Stop();
    if (loading) {
        loading = false;
        if (browser_.LocationURL().compare(pendingPath, Qt::CaseInsensitive) == 0) {
            LoadComplete();
        } else {
            failed(loadErrorFor(pendingPath));
        }
    } else if (saving) {
        saving = false;
        if (browser_.LocationURL().isEmpty()) {
            SaveComplete();
        } else {
            failed(QString::fromLatin1(CycleMessages::kSaveError));
        }
    }
}

} // namespace zelp
