#include "filedialog.h"

#include <QFileInfo>

namespace zelp {

namespace {
FileDialogService *g_service = nullptr;
}

void setFileDialogService(FileDialogService *service) {
    g_service = service;
}

FileDialogService *fileDialogService() {
    return g_service;
}

std::optional<QString> ChooseFile(const FileDialogRequest &request) {
    if (!g_service) {
        return std::nullopt;
    }
    auto chosen = g_service->choose(request);
    if (chosen && chosen->isEmpty()) {
        return std::nullopt;
    }
    if (chosen && request.kind == FileDialogRequest::Kind::Save) {
        return withDefaultExtension(*chosen, request.defaultExtension);
    }
    return chosen;
}

QString withDefaultExtension(const QString &path, const QString &extension) {
    if (extension.isEmpty() || !QFileInfo(path).suffix().isEmpty()) {
        return path;
    }
    return path + u'.' + extension;
}

} // namespace zelp
