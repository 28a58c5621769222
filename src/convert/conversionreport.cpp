#include "conversionreport.h"

#include "common/ansi.h"

#include <QJsonArray>

#include <algorithm>

namespace zelp {

const char *resultName(ConversionReport::Result result) {
    switch (result) {
    case ConversionReport::Result::Converted:
        return "converted";
    case ConversionReport::Result::Skipped:
        return "skipped";
    case ConversionReport::Result::Current:
        return "already 2000";
    case ConversionReport::Result::Failed:
        break;
    }
    return "failed";
}

const char *statusName(SettingOutcome::Status status) {
    switch (status) {
    case SettingOutcome::Status::Carried:
        return "carried";
    case SettingOutcome::Status::Unreadable:
        return "unreadable";
    case SettingOutcome::Status::Defaulted:
        break;
    }
    return "defaulted";
}

int ConversionReport::count(SettingOutcome::Status status) const {
    return int(std::count_if(settings.begin(), settings.end(),
                             [status](const SettingOutcome &s) { return s.status == status; }));
}

QJsonObject ConversionReport::toJson() const {
    // Only what was not carried as it stood is told setting by setting; the rest is counted.
    QJsonArray list;
    for (const SettingOutcome &s : settings) {
        if (s.status == SettingOutcome::Status::Carried) {
            continue;
        }
        QJsonObject entry{{QStringLiteral("name"), Ansi::toUnicode(s.name)},
                          {QStringLiteral("from"), Ansi::toUnicode(s.legacyName)},
                          {QStringLiteral("status"), QString::fromLatin1(statusName(s.status))}};
        if (!s.reason.isEmpty()) {
            entry.insert(QStringLiteral("reason"), s.reason);
        }
        list.append(entry);
    }
    return {{QStringLiteral("source"), source},
            {QStringLiteral("target"), target},
            {QStringLiteral("client"), client},
            {QStringLiteral("result"), QString::fromLatin1(resultName(result))},
            {QStringLiteral("message"), message},
            {QStringLiteral("carried"), count(SettingOutcome::Status::Carried)},
            {QStringLiteral("defaulted"), count(SettingOutcome::Status::Defaulted)},
            {QStringLiteral("unreadable"), count(SettingOutcome::Status::Unreadable)},
            {QStringLiteral("settings"), list}};
}

QString ConversionReport::summary() const {
    QString line =
        QStringLiteral("%1: %2 -> %3").arg(QString::fromLatin1(resultName(result)), source, target);
    if (!client.isEmpty()) {
        line += QStringLiteral(" (%1 client)").arg(client);
    }
    if (!settings.empty()) {
        line += QStringLiteral("; settings carried %1, defaulted %2, unreadable %3")
                    .arg(count(SettingOutcome::Status::Carried))
                    .arg(count(SettingOutcome::Status::Defaulted))
                    .arg(count(SettingOutcome::Status::Unreadable));
    }
    if (!message.isEmpty() && result != Result::Converted) {
        line += QStringLiteral("; ") +
                QString(message).replace(QLatin1String("\r\n"), QStringLiteral(" "));
    }
    return line;
}

} // namespace zelp
