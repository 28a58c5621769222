#pragma once

#include <QJsonObject>
#include <QString>

#include <string>
#include <vector>

namespace zelp {

// What became of one setting of the map in a conversion.
struct SettingOutcome {
    enum class Status { Carried, Defaulted, Unreadable };
    std::string name;       // the 2000 name
    std::string legacyName; // the 97 name it came from
    Status status = Status::Defaulted;
    QString reason; // why it was unreadable; empty otherwise
};

// What became of one file given to the converter.
struct ConversionReport {
    // Current: already a file of the 2000 generation, left as it is.
    enum class Result { Converted, Skipped, Current, Failed };
    QString source;
    QString target;
    QString client; // "safe", "unsafe", or empty when the file is no 97 file
    Result result = Result::Failed;
    QString message; // the last notice or question of the conversion
    std::vector<SettingOutcome> settings;

    int count(SettingOutcome::Status status) const;
    QJsonObject toJson() const;
    // One line: result, source, target, kind and the counts of the settings.
    QString summary() const;
};

const char *resultName(ConversionReport::Result result);
const char *statusName(SettingOutcome::Status status);

} // namespace zelp
