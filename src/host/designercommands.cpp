#include "designercommands.h"

#include "common/errhndlr.h"
#include "common/errors.h"
#include "common/filedialog.h"
#include "common/fileutil.h"
#include "common/mousepointer.h"
#include "common/msgbox.h"
#include "common/msgboxstyle.h"
#include "common/workfolders.h"
#include "files/resources.h"
#include "files/savechoice.h"

namespace zelp {

namespace {

const QString kBlank = QStringLiteral("about:blank");

// A connection-file dialog starting in the home folder; errors while it runs are skipped.
std::optional<QString> askForConnectionFile(FileDialogRequest::Kind kind, const char *title,
                                            const char *filter) {
    FileDialogRequest request;
    request.kind = kind;
    request.title = QString::fromLatin1(title);
    request.initialFolder = preparedHomeFolder();
    request.defaultExtension = QStringLiteral("ats");
    request.filter = QString::fromLatin1(filter);
    request.confirmOverwrite = kind == FileDialogRequest::Kind::Save;
    request.fileMustExist = kind == FileDialogRequest::Kind::Open;
    std::optional<QString> chosen;
    QuietErrors quiet;
    quiet.step([&] { chosen = ChooseFile(request); });
    return chosen;
}

// Shows an unexpected error's own description and leaves no file current.
void reportAndForget(QString &currentFile) {
    const ErrorInfo error = errorFrom(std::current_exception());
    MessageBox(QString::fromStdString(error.description), Msg::kErrorNotice);
    currentFile.clear();
}

} // namespace

DesignerCommands::DesignerCommands(DocumentCycle &cycle, DesignerDialogs &dialogs)
    : cycle_(cycle), dialogs_(dialogs) {
    cycle_.setOtherNameChooser([] {
        const std::optional<QString> chosen = askForConnectionFile(
            FileDialogRequest::Kind::Save, CommandTexts::kSaveAsTitle, CommandTexts::kNewFilter);
        if (chosen) {
            workFolders().home = FolderOf(*chosen);
        }
        return chosen;
    });
}

void DesignerCommands::New() {
    DesignerDialogs::ConnectionType type;
    Guarded("main", "cmdNew_Click").step([&] { type = dialogs_.askConnectionType(); });
    if (type.cancelled) {
        return;
    }
    const std::optional<QString> chosen = askForConnectionFile(
        FileDialogRequest::Kind::Save, CommandTexts::kNewTitle, CommandTexts::kNewFilter);
    if (!chosen) {
        return;
    }
    try {
        cycle_.currentFile = *chosen;
        workFolders().home = FolderOf(*chosen);
        launchPage_ = LaunchPageState();
        cycle_.safeClient = false;
        const QByteArray bytes =
            templateResource(type.unsafe ? kTemplateUnsafeConnection : kTemplateSafeConnection);
        QString why;
        if (WriteWholeFile(*chosen, bytes, &why)) {
            cycle_.newFile = true;
            cycle_.BeginLoad(*chosen);
        } else {
            MessageBox(QString::fromLatin1(CommandTexts::kUnableToWrite) + *chosen +
                           QStringLiteral(":\r\n") + why,
                       Msg::kErrorNotice);
            cycle_.currentFile.clear();
        }
    } catch (...) {
        reportAndForget(cycle_.currentFile);
    }
}

void DesignerCommands::Open() {
    const std::optional<QString> chosen = askForConnectionFile(
        FileDialogRequest::Kind::Open, CommandTexts::kOpenTitle, CommandTexts::kOpenFilter);
    if (chosen) {
        OpenFile(*chosen);
    }
}

void DesignerCommands::OpenFile(const QString &chosen) {
    try {
        cycle_.currentFile = chosen;
        workFolders().home = FolderOf(chosen);
        launchPage_.fileName.clear();
        if (openCheck_) {
            // The conversion question and its dialogs have the topic of converting.
            MessageHelpScope help(430);
            const std::optional<QString> checked = openCheck_(cycle_.currentFile);
            if (!checked) {
                cycle_.currentFile.clear();
                return;
            }
            cycle_.currentFile = *checked;
        }
        cycle_.safeClient = false;
        launchPage_.intranet = false;
        launchPage_.guiSupport = false;
        cycle_.newFile = false;
        cycle_.BeginLoad(cycle_.currentFile);
    } catch (...) {
        reportAndForget(cycle_.currentFile);
    }
}

void DesignerCommands::Close() {
    if (cycle_.currentFile.isEmpty()) {
        return;
    }
    ClientDocument *doc = cycle_.document();
    if (doc && doc->Changed()) {
        const int16_t answer =
            MessageBox(QString::fromLatin1(CommandTexts::kSaveChanges), Msg::kYesNoCancelQuestion);
        if (answer == Msg::Yes) {
            Save();
            return;
        }
        if (answer == Msg::Cancel) {
            return;
        }
        // Our documents write themselves when they leave the host; No means they must not.
        doc->DiscardChanges();
    }
    cycle_.dropDocument();
    cycle_.currentFile.clear();
    cycle_.window().HidePreview();
    cycle_.browser().Navigate(kBlank);
    cycle_.enterState(CommandState::NoDocument);
    cycle_.window().UpdateCaption();
}

void DesignerCommands::Save() {
    if (cycle_.currentFile.isEmpty() || !cycle_.document()) {
        return;
    }
    QString session = cycle_.currentFile;
    const int16_t result = dialogs_.askSave(session, launchPage_.fileName);
    if (result == SaveChoice::kCancelled) {
        return;
    }
    launchPage_.guiSupport = SaveChoice::guiSupportOf(result);
    const int16_t page = SaveChoice::pageOf(result);
    if (page == SaveChoice::kInternetPage || page == SaveChoice::kIntranetPage) {
        launchPage_.intranet = page == SaveChoice::kIntranetPage;
        GenerateLaunchPage(launchPage_, cycle_.currentFile, cycle_.safeClient);
    }
    cycle_.BeginSave();
    cycle_.window().setCommandEnabled(Command::Open, true, false);
    cycle_.window().setCommandEnabled(Command::New, true, false);
    MousePointer::set(MousePointer::Default);
    cycle_.window().UpdateCaption();
    cycle_.saveStarted = true;
}

void DesignerCommands::Settings() {
    ClientDocument *doc = cycle_.document();
    if (!doc) {
        return;
    }
    doc->Settings()->setPinned(cycle_.pinned);
    dialogs_.showSettings(*doc);
    if (cycle_.document() == doc) {
        cycle_.pinned = doc->Settings()->Pinned();
    }
}

void DesignerCommands::Script() {
    if (auto *doc = qobject_cast<ClientDocument *>(cycle_.browser().Document())) {
        doc->EditScript();
    }
}

void DesignerCommands::Connect() {
    ClientDocument *doc = cycle_.document();
    if (!doc) {
        return;
    }
    cycle_.setConnected(true);
    doc->Settings()->setPinned(cycle_.pinned);
    doc->Connect();
}

void DesignerCommands::Disconnect() {
    ClientDocument *doc = cycle_.document();
    if (!doc) {
        return;
    }
    cycle_.setConnected(false);
    doc->Disconnect();
}

bool DesignerCommands::queryClose(int16_t reason) {
    cycle_.saveStarted = false;
    if (!cycle_.document()) {
        cycle_.window().HidePreview();
        cycle_.browser().Stop();
        cycle_.browser().Navigate(kBlank);
        return false;
    }
    if (reason == kCloseByUser) {
        Close();
        return cycle_.saveStarted || cycle_.document() != nullptr;
    }
    // The session is ending: nothing is asked and nothing is saved.
    ClientDocument *doc = cycle_.document();
    cycle_.dropDocument();
    cycle_.currentFile.clear();
    cycle_.window().HidePreview();
    cycle_.browser().Stop();
    doc->DiscardChanges();
    cycle_.browser().Navigate(kBlank);
    return false;
}

} // namespace zelp
