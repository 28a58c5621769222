#include "qtfiledialog.h"

#include <QApplication>
#include <QFileDialog>

namespace zelp {

QStringList nameFiltersOf(const QString &filter) {
    const QStringList parts = filter.split(u'|');
    QStringList names;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // The description already names its patterns; Qt reads them from the parentheses.
        names << (parts[i].contains(u'(') ? parts[i]
                                          : parts[i] + QStringLiteral(" (") +
                                                QString(parts[i + 1]).replace(u';', u' ') + u')');
    }
    return names;
}

std::optional<QString> QtFileDialogService::choose(const FileDialogRequest &request) {
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.initialFolder);
    const bool save = request.kind == FileDialogRequest::Kind::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    dialog.setDefaultSuffix(request.defaultExtension);
    const QStringList filters = nameFiltersOf(request.filter);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size()) {
        dialog.selectNameFilter(filters[request.filterIndex - 1]);
    }
    if (!request.fileName.isEmpty()) {
        dialog.selectFile(request.fileName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().first();
}

} // namespace zelp
