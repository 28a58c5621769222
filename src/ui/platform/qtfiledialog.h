#pragma once

#include "common/filedialog.h"

class QWidget;

namespace zelp {

// The platform's file dialogs.
class QtFileDialogService : public FileDialogService {
public:
    std::optional<QString> choose(const FileDialogRequest &request) override;
};

// "Text (*.x)|*.x|All Files (*.*)|*.*" as the name filters of a Qt file dialog.
QStringList nameFiltersOf(const QString &filter);

} // namespace zelp
