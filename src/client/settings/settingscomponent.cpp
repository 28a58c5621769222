#include "settingscomponent.h"

#include "settingsdialog.h"

#include "client/core/clientdocument.h"
#include "common/ansi.h"

namespace zelp {

namespace {

QVariant toVariant(const PropertyValue &value) {
    switch (typeOf(value)) {
    case ValueType::Text:
        return Ansi::toUnicode(std::get<std::string>(value));
    case ValueType::Int16:
        return int(std::get<int16_t>(value));
    case ValueType::Int32:
        return int(std::get<int32_t>(value));
    case ValueType::Double:
        return std::get<double>(value);
    case ValueType::Bool:
        return std::get<bool>(value);
    }
    return {};
}

PropertyValue fromVariant(ValueType type, const QVariant &value) {
    switch (type) {
    case ValueType::Text:
        return Ansi::fromUnicode(value.toString());
    case ValueType::Int16:
        return int16_t(value.toInt());
    case ValueType::Int32:
        return int32_t(value.toInt());
    case ValueType::Double:
        return value.toDouble();
    case ValueType::Bool:
        return value.toBool();
    }
    return {};
}

FieldType fieldTypeOf(ValueType type) {
    static constexpr FieldType byType[] = {FieldType::Text, FieldType::Int16, FieldType::Int32,
                                           FieldType::Double, FieldType::Bool};
    return byType[int(type)];
}

} // namespace

void SettingsDialogComponent::ShowSettings(ClientSettings *settings, SessionInfo *settings2,
                                           const QString &caption, QWidget *owner) {
    if (!settings) {
        return;
    }
    std::vector<SettingDef> defs = SettingsSchema::all();
    for (const std::string &key : settings->extraKeyNames()) {
        defs.push_back(*SettingsSchema::find(key));
    }
    std::vector<SettingsField> fields;
    QVariantMap values;
    for (const SettingDef &def : defs) {
        const QString name = Ansi::toUnicode(def.name);
        fields.push_back({name, fieldTypeOf(def.type), QString::fromStdString(def.group),
                          QString::fromStdString(def.label)});
        values.insert(name, toVariant(*settings->value(def.name)));
    }
    SettingsDialog dialog(caption, std::move(fields), values, owner);
    dialog.setValueCheck([](const QString &name, const QVariant &value) {
        const std::string key = Ansi::fromUnicode(name);
        const auto def = SettingsSchema::find(key);
        const char *refused =
            def ? SettingsSchema::refusal(key, fromVariant(def->type, value)) : nullptr;
        return refused ? QStringLiteral("\"%1\" is no %2 value for %3")
                             .arg(value.toString(), QString::fromLatin1(refused), name)
                       : QString();
    });
    if (settings2) {
        // The line follows the test connection while the dialog is open.
        dialog.setStatusText(settings2->State());
        QObject::connect(settings2, &SessionInfo::updated, &dialog,
                         [&dialog, settings2] { dialog.setStatusText(settings2->State()); });
    }
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const QVariantMap edited = dialog.values();
    for (const QString &name : dialog.changedNames()) {
        const auto def = SettingsSchema::find(Ansi::fromUnicode(name));
        if (def) {
            settings->setValue(def->name, fromVariant(def->type, edited.value(name)));
        }
    }
}

} // namespace zelp
