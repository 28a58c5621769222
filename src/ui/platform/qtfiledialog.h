#pragma once

#include "common/filedialog.h"

class QWidget;

namespace zelp {

// The platform's file dialogs. They start in the nearest folder that exists and take a typed
// name literally.
class QtFileDialogService : public FileDialogService {
public:
    std::optional<QString> choose(const FileDialogRequest &request) override;
};

// "Text (*.x)|*.x|All Files (*.*)|*.*" as the name filters of a Qt file dialog; outside
// Windows "*.*" becomes "*", which also lists names without a dot.
QStringList nameFiltersOf(const QString &filter);

// The folder when it exists, else its nearest parent that does; empty stays empty.
QString nearestExistingFolder(const QString &folder);

} // namespace zelp
