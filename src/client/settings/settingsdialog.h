#pragma once

#include "settingsfield.h"

#include <QDialog>
#include <QVariantMap>

#include <functional>
#include <map>

class QLabel;
class QWidget;

namespace zelp {

// The connection settings dialog: the essentials on the first page, every other setting on
// a page of its group, each with an editor of its type.
class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    SettingsDialog(const QString &caption, std::vector<SettingsField> fields,
                   const QVariantMap &values, QWidget *parent = nullptr);

    // The values as edited, for every field.
    QVariantMap values() const;
    // The names whose value differs from what the dialog was given.
    QStringList changedNames() const;
    // A line under the pages, for the state of the running session.
    void setStatusText(const QString &text);
    QString statusText() const;

    // Why a value cannot be kept (empty when it can); OK asks it of every field.
    using ValueCheck = std::function<QString(const QString &name, const QVariant &value)>;
    void setValueCheck(ValueCheck check) { check_ = std::move(check); }

public Q_SLOTS:
    void accept() override;

private:
    QWidget *createEditor(const SettingsField &field, const QVariant &value, QWidget *parent);
    QVariant editorValue(const SettingsField &field) const;

    std::vector<SettingsField> fields_;
    QVariantMap initial_;
    std::map<QString, QWidget *> editors_;
    QLabel *status_ = nullptr;
    ValueCheck check_;
};

} // namespace zelp
