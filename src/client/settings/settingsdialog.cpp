#include "settingsdialog.h"

#include "common/msgbox.h"
#include "common/msgboxstyle.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace zelp {

namespace {

QWidget *scrollingPage(QFormLayout **form) {
    auto *inner = new QWidget;
    *form = new QFormLayout(inner);
    (*form)->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    auto *scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(inner);
    return scroll;
}

QSpinBox *intEditor(int min, int max, const QVariant &value) {
    auto *spin = new QSpinBox;
    spin->setRange(min, max);
    spin->setValue(std::clamp(value.toInt(), min, max));
    return spin;
}

} // namespace

SettingsDialog::SettingsDialog(const QString &caption, std::vector<SettingsField> fields,
                               const QVariantMap &values, QWidget *parent)
    : QDialog(parent), fields_(std::move(fields)), initial_(values) {
    setObjectName(QStringLiteral("settingsDialog"));
    setProperty("helpContextId", 400);
    setWindowTitle(caption);
    setModal(true);

    auto *tabs = new QTabWidget;
    tabs->setObjectName(QStringLiteral("tabs"));
    QFormLayout *essentials = nullptr;
    tabs->addTab(scrollingPage(&essentials), tr("&Connection"));
    std::map<QString, QFormLayout *> groups;

    const auto &names = essentialSettingNames();
    for (const QString &name : names) {
        const auto it = std::find_if(fields_.begin(), fields_.end(),
                                     [&](const SettingsField &f) { return f.name == name; });
        if (it != fields_.end()) {
            essentials->addRow(it->label + QLatin1Char(':'),
                               createEditor(*it, values.value(it->name), nullptr));
        }
    }
    for (const SettingsField &field : fields_) {
        if (std::find(names.begin(), names.end(), field.name) != names.end()) {
            continue;
        }
        QFormLayout *&form = groups[field.group];
        if (!form) {
            tabs->addTab(scrollingPage(&form), field.group);
        }
        form->addRow(field.label + QLatin1Char(':'),
                     createEditor(field, values.value(field.name), nullptr));
    }

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->setObjectName(QStringLiteral("buttons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("lbStatus"));
    status_->hide();
    layout->addWidget(status_);
    layout->addWidget(buttons);
    resize(560, 460);
}

QWidget *SettingsDialog::createEditor(const SettingsField &field, const QVariant &value,
                                      QWidget *parent) {
    QWidget *editor = nullptr;
    switch (field.type) {
    case FieldType::Bool: {
        auto *box = new QCheckBox(parent);
        box->setChecked(value.toBool());
        editor = box;
        break;
    }
    case FieldType::Int16:
        editor = intEditor(std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max(),
                           value);
        break;
    case FieldType::Int32:
        editor = intEditor(std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(),
                           value);
        break;
    case FieldType::Double: {
        auto *spin = new QDoubleSpinBox(parent);
        spin->setRange(-1e12, 1e12);
        spin->setDecimals(4);
        spin->setValue(value.toDouble());
        editor = spin;
        break;
    }
    case FieldType::Text:
        if (field.name == QLatin1String("sFontName")) {
            auto *fonts = new QFontComboBox(parent);
            fonts->setFontFilters(QFontComboBox::MonospacedFonts);
            fonts->setEditable(true);
            fonts->setEditText(value.toString());
            editor = fonts;
        } else {
            auto *line = new QLineEdit(value.toString(), parent);
            editor = line;
        }
        break;
    }
    editor->setObjectName(field.name);
    editor->setToolTip(field.name);
    editors_[field.name] = editor;
    return editor;
}

QVariant SettingsDialog::editorValue(const SettingsField &field) const {
    const auto it = editors_.find(field.name);
    if (it == editors_.end()) {
        return initial_.value(field.name);
    }
    QWidget *editor = it->second;
    switch (field.type) {
    case FieldType::Bool:
        return static_cast<QCheckBox *>(editor)->isChecked();
    case FieldType::Int16:
    case FieldType::Int32:
        return static_cast<QSpinBox *>(editor)->value();
    case FieldType::Double:
        return static_cast<QDoubleSpinBox *>(editor)->value();
    case FieldType::Text:
        if (auto *fonts = qobject_cast<QFontComboBox *>(editor)) {
            return fonts->currentText();
        }
        return static_cast<QLineEdit *>(editor)->text();
    }
    return {};
}

QVariantMap SettingsDialog::values() const {
    QVariantMap out;
    for (const SettingsField &field : fields_) {
        out.insert(field.name, editorValue(field));
    }
    return out;
}

QStringList SettingsDialog::changedNames() const {
    QStringList changed;
    for (const SettingsField &field : fields_) {
        const QVariant before = initial_.value(field.name);
        const QVariant after = editorValue(field);
        bool same = false;
        switch (field.type) {
        case FieldType::Bool:
            same = before.toBool() == after.toBool();
            break;
        case FieldType::Int16:
        case FieldType::Int32:
            same = before.toInt() == after.toInt();
            break;
        case FieldType::Double:
            same = before.toDouble() == after.toDouble();
            break;
        case FieldType::Text:
            same = before.toString() == after.toString();
            break;
        }
        if (!same) {
            changed << field.name;
        }
    }
    return changed;
}

void SettingsDialog::accept() {
    for (const SettingsField &field : fields_) {
        const QString why = check_ ? check_(field.name, editorValue(field)) : QString();
        if (!why.isEmpty()) {
            MessageBox(why, Msg::kWarningNotice);
            if (QWidget *editor = editors_[field.name]) {
                editor->setFocus(Qt::OtherFocusReason);
            }
            return;
        }
    }
    QDialog::accept();
}

QString SettingsDialog::statusText() const {
    return status_->text();
}

void SettingsDialog::setStatusText(const QString &text) {
    status_->setText(text);
    status_->setVisible(!text.isEmpty());
}

} // namespace zelp
