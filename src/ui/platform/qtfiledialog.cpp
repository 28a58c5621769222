#include "qtfiledialog.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>

namespace zelp {

namespace {

// Qt reads double quotes in the name box as a list of names ("a" "b"), so that my"name
// becomes name. This dialog takes what was typed as one name.
class LiteralFileDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;
    QString literal; // the chosen path, when the name box held a double quote

    void accept() override {
        auto *edit = findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        const QString typed = edit ? edit->text() : QString();
        if (!typed.contains(u'"')) {
            QFileDialog::accept();
            return;
        }
        QString path = directory().absoluteFilePath(typed);
        if (QFileInfo(path).isDir()) {
            setDirectory(path);
            edit->clear();
            return;
        }
        if (QFileInfo(path).suffix().isEmpty() && !defaultSuffix().isEmpty()) {
            path += u'.' + defaultSuffix();
        }
        const QFileInfo info(path);
        if (acceptMode() == AcceptSave) {
            if (info.exists() && !testOption(DontConfirmOverwrite) &&
                QMessageBox::warning(
                    this, windowTitle(),
                    tr("%1 already exists.\nDo you want to replace it?").arg(info.fileName()),
                    QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes) {
                return;
            }
        } else if (!info.exists()) {
            QMessageBox::warning(this, windowTitle(),
                                 tr("%1\nFile not found.\nPlease verify the correct file name "
                                    "was given.")
                                     .arg(info.fileName()));
            return;
        }
        literal = path;
        QDialog::accept();
    }
};

} // namespace

QString nearestExistingFolder(const QString &folder) {
    if (folder.isEmpty()) {
        return folder;
    }
    QString path = QDir::cleanPath(QDir(folder).absolutePath());
    while (!QFileInfo(path).isDir()) {
        const QString parent = QFileInfo(path).path();
        if (parent == path) {
            break;
        }
        path = parent;
    }
    return path;
}

QStringList nameFiltersOf(const QString &filter) {
    const QStringList parts = filter.split(u'|');
    QStringList names;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i];
        QString patterns = QString(parts[i + 1]).replace(u';', u' ');
#ifndef _WIN32
        // "*.*" leaves out every name without a dot here.
        name.replace(QLatin1String("(*.*)"), QLatin1String("(*)"));
        if (patterns == QLatin1String("*.*")) {
            patterns = QStringLiteral("*");
        }
#endif
        // The description already names its patterns; Qt reads them from the parentheses.
        names << (name.contains(u'(') ? name : name + QStringLiteral(" (") + patterns + u')');
    }
    return names;
}

std::optional<QString> QtFileDialogService::choose(const FileDialogRequest &request) {
    // A folder that does not exist yet would be taken as a folder and a file name in it.
    LiteralFileDialog dialog(QApplication::activeWindow(), request.title,
                             nearestExistingFolder(request.initialFolder));
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
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    if (!dialog.literal.isEmpty()) {
        return dialog.literal;
    }
    if (dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().first();
}

} // namespace zelp
