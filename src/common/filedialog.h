#pragma once

#include <QString>

#include <optional>

namespace zelp {

// What a file dialog is asked to show; the filter is written "Text (*.x)|*.x|All Files|*.*".
struct FileDialogRequest {
    enum class Kind { Open, Save };
    Kind kind = Kind::Open;
    QString title;
    QString initialFolder;
    QString fileName;
    QString defaultExtension; // without the dot; added to a name typed without one
    QString filter;
    int filterIndex = 1; // 1-based, as the filter string lists them
    bool confirmOverwrite = false;
    bool fileMustExist = false;
};

// Asks a person for a file: the platform's dialog in the designer, a script in tests.
class FileDialogService {
public:
    virtual ~FileDialogService() = default;
    // The full path chosen; nullopt when the person cancelled or no dialog could be shown.
    virtual std::optional<QString> choose(const FileDialogRequest &request) = 0;
};

// nullptr: no one to ask, every request counts as cancelled.
void setFileDialogService(FileDialogService *service);
FileDialogService *fileDialogService();

// Shows the request through the installed service.
std::optional<QString> ChooseFile(const FileDialogRequest &request);

// The file name with the default extension added when it has none.
QString withDefaultExtension(const QString &path, const QString &extension);

} // namespace zelp
