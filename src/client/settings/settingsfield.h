#pragma once

#include <QString>
#include <QVariant>

#include <vector>

namespace zelp {

enum class FieldType { Text, Int16, Int32, Double, Bool };

// One setting as the settings dialog shows it.
struct SettingsField {
    QString name;
    FieldType type = FieldType::Text;
    QString group;
    QString label;
};

// The settings the dialog's first page shows, in this order.
const std::vector<QString> &essentialSettingNames();

} // namespace zelp
