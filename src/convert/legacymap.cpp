#include "legacymap.h"

#include "client/core/settingsschema.h"
#include "common/ansi.h"
#include "common/errhndlr.h"
#include "common/strfunc.h"

#include <algorithm>
#include <charconv>

namespace zelp::LegacyMap {

namespace {

using Shape = LegacyMapRow::Shape;
using Status = SettingOutcome::Status;

PropertyValue T() {
    return std::string();
}
PropertyValue I(int16_t n) {
    return n;
}
PropertyValue B(bool b) {
    return b;
}

// What the schema does not hold as a setting with a 97 name: the document's own members and
// the lists that are reshaped into numbered settings, each at its place in the 97 name list.
struct PlacedRow {
    int position;
    LegacyMapRow row;
};

std::vector<PlacedRow> ownRows() {
    return {
        {1, {"Script", "Script", Shape::Document, T(), T()}},
        {2, {"MousePatterns", "MousePatterns", Shape::Document, T(), T()}},
        {65, {"Palette", "sPalette", Shape::Palette, T(), std::nullopt}},
        {66, {"AttrColors", "sAttrColor", Shape::AttrColors, T(), std::nullopt}},
        {67, {"KeyCount", "sFKey", Shape::FunctionKeys, I(0), std::nullopt}},
    };
}

// Settings that the 97 client read otherwise than with their schema default; each stands at
// its setting's place.
std::vector<LegacyMapRow> readOtherwise() {
    return {
        // Read without a default and always stored.
        {"TermType", "sTermType", Shape::Plain, std::nullopt, std::nullopt},
        // Read as the 97 client kept it, a boolean; the 2000 client keeps a mode number.
        {"ExtMode", "sScrMode", Shape::Plain, B(false), I(0)},
    };
}

// Every other setting with a 97 name is copied as read, with its schema default both ways.
std::vector<LegacyMapRow> buildRows() {
    std::vector<PlacedRow> placed = ownRows();
    const std::vector<LegacyMapRow> exceptions = readOtherwise();
    for (const LegacyMapRow &row : exceptions) {
        const auto def = SettingsSchema::find(row.name);
        placed.push_back({def ? def->legacyPosition : 0, row});
    }
    for (const SettingDef &def : SettingsSchema::all()) {
        if (!def.legacyName.empty() &&
            std::ranges::find(exceptions, def.name, &LegacyMapRow::name) == exceptions.end()) {
            placed.push_back(
                {def.legacyPosition,
                 {def.legacyName, def.name, Shape::Plain, def.defaultValue, def.defaultValue}});
        }
    }
    std::ranges::sort(placed, {}, &PlacedRow::position);
    std::vector<LegacyMapRow> rows;
    rows.reserve(placed.size());
    for (PlacedRow &p : placed) {
        rows.push_back(std::move(p.row));
    }
    return rows;
}

QString describe(const PropertyValue &value) {
    const ValueType type = typeOf(value);
    if (type == ValueType::Text) {
        return QStringLiteral("the text \"%1\"")
            .arg(Ansi::toUnicode(std::get<std::string>(value).substr(0, 40)));
    }
    return QStringLiteral("the %1 %2")
        .arg(QString::fromLatin1(typeName(type)), QString::fromStdString(formatValue(value)));
}

class Copy {
public:
    Copy(const LegacyDocumentReader &reader, PropertyBag &bag, std::vector<SettingOutcome> *out)
        : reader_(reader), bag_(bag), out_(out) {}

    void note(const std::string &name, const std::string &legacy, Status status,
              QString reason = {}) {
        if (out_) {
            out_->push_back({name, legacy, status, std::move(reason)});
        }
    }

    void plainRow(const LegacyMapRow &row) {
        if (!reader_.HasValue(row.legacyName)) {
            // Without a read default the setting's own default stands in for the 97 one.
            PropertyValue fallback = row.readDefault.value_or(T());
            if (!row.readDefault) {
                if (const auto def = SettingsSchema::find(row.name)) {
                    fallback = def->defaultValue;
                }
            }
            bag_.WriteProperty(row.name, fallback, row.writeDefault);
            note(row.name, row.legacyName, Status::Defaulted);
            return;
        }
        const PropertyValue value =
            reader_.ReadValue(row.legacyName, row.readDefault.value_or(T()));
        // What the 2000 document cannot take is left out, so that its own value stands.
        ValueType wanted = ValueType::Text;
        if (row.shape == Shape::Plain) {
            const auto def = SettingsSchema::find(row.name);
            wanted = def ? def->type : typeOf(value);
        }
        const auto converted = convertTo(wanted, value);
        if (!converted) {
            note(row.name, row.legacyName, Status::Unreadable,
                 QStringLiteral("%1 is no %2")
                     .arg(describe(value), QString::fromLatin1(typeName(wanted))));
            return;
        }
        // Settings go in as read (the document converts them); the script and the mouse
        // patterns are texts.
        bag_.WriteProperty(row.name, row.shape == Shape::Document ? *converted : value,
                           row.writeDefault);
        note(row.name, row.legacyName, Status::Carried);
    }

    void colourRow(const LegacyMapRow &row, int count) {
        const auto each = [&](Status status, const QString &reason) {
            for (int i = 0; i < count; ++i) {
                note(row.name + std::to_string(i), row.legacyName, status, reason);
            }
        };
        if (!reader_.HasValue(row.legacyName)) {
            each(Status::Defaulted, {});
            return;
        }
        const PropertyValue value = reader_.ReadValue(row.legacyName, T());
        const std::string *list = std::get_if<std::string>(&value);
        if (!list) {
            each(Status::Unreadable, QStringLiteral("%1 is no list").arg(describe(value)));
            return;
        }
        if (list->empty()) {
            each(Status::Defaulted, {});
            return;
        }
        const int fields = Strfunc::Dcount(*list, ",");
        for (int i = 0; i < count; ++i) {
            const std::string name = row.name + std::to_string(i);
            QuietErrors quiet;
            std::string field;
            if (!quiet.step([&] { field = Strfunc::Field(*list, ",", i + 1); })) {
                note(name, row.legacyName, Status::Unreadable,
                     QStringLiteral("its field could not be read"));
                continue;
            }
            bool found = false;
            const double number = Val(field, &found);
            bag_.WriteProperty(name, number);
            if (i >= fields) {
                // A short list is an old file's way of leaving the rest at the client's choice.
                note(name, row.legacyName, Status::Defaulted,
                     QStringLiteral("the list has %1 entries; 0 written").arg(fields));
            } else if (!found) {
                note(name, row.legacyName, Status::Unreadable,
                     QStringLiteral("\"%1\" is no number; 0 written")
                         .arg(Ansi::toUnicode(field.substr(0, 40))));
            } else {
                note(name, row.legacyName, Status::Carried);
            }
        }
    }

    void keyRows(const LegacyMapRow &row) {
        const std::string list(SettingsSchema::kFunctionKeyList);
        if (!reader_.HasValue(row.legacyName)) {
            note(list, row.legacyName, Status::Defaulted);
            return;
        }
        const PropertyValue countValue = reader_.ReadValue(row.legacyName, I(0));
        const auto count = convertTo(ValueType::Int16, countValue);
        if (!count) {
            note(list, row.legacyName, Status::Unreadable,
                 QStringLiteral("%1 is no key count").arg(describe(countValue)));
            return;
        }
        const int16_t n = std::get<int16_t>(*count);
        std::string names;
        for (int i = 1; i <= n; ++i) {
            const std::string legacy = "Key" + std::to_string(i);
            // A key the file lacks is left out rather than defined without a name.
            if (!reader_.HasValue(legacy)) {
                note(row.name + "?", legacy, Status::Defaulted,
                     QStringLiteral("%1 is missing").arg(QString::fromStdString(legacy)));
                continue;
            }
            const PropertyValue entry = reader_.ReadValue(legacy, T());
            const std::string *text = std::get_if<std::string>(&entry);
            const size_t nul = text ? text->find('\0') : std::string::npos;
            const std::string keyName = text ? text->substr(0, nul) : std::string();
            if (keyName.empty()) {
                note(row.name + "?", legacy, Status::Unreadable,
                     text ? QStringLiteral("the key has no name")
                          : QStringLiteral("%1 is no key").arg(describe(entry)));
                continue;
            }
            const std::string keyValue = nul == std::string::npos ? "" : text->substr(nul + 1);
            QuietErrors quiet;
            const bool written = quiet.step(
                [&] { bag_.WriteProperty(row.name + keyName, Strfunc::CtrlToArrow(keyValue)); });
            if (!written) {
                note(row.name + keyName, legacy, Status::Unreadable,
                     QStringLiteral("its value could not be converted"));
                continue;
            }
            note(row.name + keyName, legacy, Status::Carried);
            names += keyName + ",";
        }
        if (names.empty()) {
            note(list, row.legacyName, n > 0 ? Status::Unreadable : Status::Defaulted,
                 n > 0 ? QStringLiteral("no key could be read") : QString());
            return;
        }
        names.pop_back();
        bag_.WriteProperty(list, names);
        note(list, row.legacyName, Status::Carried);
    }

private:
    const LegacyDocumentReader &reader_;
    PropertyBag &bag_;
    std::vector<SettingOutcome> *out_;
};

} // namespace

const std::vector<LegacyMapRow> &rows() {
    static const std::vector<LegacyMapRow> table = buildRows();
    return table;
}

std::string PropertyNameList() {
    std::string list;
    for (const LegacyMapRow &row : rows()) {
        if (!list.empty()) {
            list += "\r\n";
        }
        list += row.legacyName;
        if (row.shape == Shape::FunctionKeys) {
            list += "\r\nKey(KeyCount)";
        }
    }
    return list;
}

void CopyLegacyProperties(const LegacyDocumentReader &reader, PropertyBag &bag,
                          std::vector<SettingOutcome> *outcomes) {
    QuietErrors quiet;
    bag.clear();
    if (outcomes) {
        outcomes->reserve(outcomes->size() + 200); // about 165 settings and a few keys
    }
    Copy copy(reader, bag, outcomes);
    for (const LegacyMapRow &row : rows()) {
        quiet.step([&] {
            switch (row.shape) {
            case Shape::Document:
            case Shape::Plain:
                copy.plainRow(row);
                break;
            case Shape::Palette:
                copy.colourRow(row, 16);
                break;
            case Shape::AttrColors:
                copy.colourRow(row, 64);
                break;
            case Shape::FunctionKeys:
                copy.keyRows(row);
                break;
            }
        });
    }
}

double Val(std::string_view text, bool *found) {
    std::string compact;
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') {
            compact.push_back(c);
        }
    }
    size_t i = 0;
    if (i < compact.size() && (compact[i] == '+' || compact[i] == '-')) {
        ++i;
    }
    const auto digits = [&] {
        const size_t start = i;
        while (i < compact.size() && compact[i] >= '0' && compact[i] <= '9') {
            ++i;
        }
        return i - start;
    };
    size_t mantissa = digits();
    if (i < compact.size() && compact[i] == '.') {
        ++i;
        mantissa += digits();
    }
    if (found) {
        *found = mantissa > 0;
    }
    if (mantissa == 0) {
        return 0;
    }
    size_t end = i;
    if (i < compact.size() &&
        (compact[i] == 'e' || compact[i] == 'E' || compact[i] == 'd' || compact[i] == 'D')) {
        ++i;
        if (i < compact.size() && (compact[i] == '+' || compact[i] == '-')) {
            ++i;
        }
        if (digits() > 0) {
            end = i;
        }
    }
    std::string number = compact.substr(0, end);
    for (char &c : number) {
        if (c == 'd' || c == 'D') {
            c = 'e';
        }
    }
    // from_chars, unlike strtod, ignores the locale that the application set.
    const char *first = number.c_str();
    if (*first == '+') {
        ++first;
    }
    double value = 0;
    std::from_chars(first, number.c_str() + number.size(), value);
    return value;
}

} // namespace zelp::LegacyMap
