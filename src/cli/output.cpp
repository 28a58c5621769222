#include "output.h"

#include "client/core/clientdocument.h"
#include "common/ansi.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstdio>

namespace zelp::cli::Output {

void print(const QString &text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

namespace {

// JSON escapes C0 controls but leaves DEL and C1 controls (U+0080-U+009F, which terminals
// obey too) as they are; they can stand only inside strings, so \u00XX keeps the value.
void printJsonLine(const QByteArray &json) {
    QByteArray line;
    line.reserve(json.size() + 1);
    for (qsizetype i = 0; i < json.size(); ++i) {
        const auto byte = uchar(json[i]);
        const bool c1 = byte == 0xC2 && i + 1 < json.size() && uchar(json[i + 1]) >= 0x80 &&
                        uchar(json[i + 1]) <= 0x9F;
        if (byte == 0x7F || c1) {
            line += QByteArray("\\u00") + QByteArray::number(c1 ? uchar(json[++i]) : byte, 16);
        } else {
            line += char(byte);
        }
    }
    line += '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
}

} // namespace

void printJson(const QJsonObject &object) {
    printJsonLine(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

void printJson(const QJsonValue &value) {
    if (value.isArray()) {
        printJsonLine(QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact));
    } else {
        printJson(value.toObject());
    }
}

QJsonValue jsonOf(const PropertyValue &value) {
    switch (typeOf(value)) {
    case ValueType::Text:
        return Ansi::toUnicode(std::get<std::string>(value));
    case ValueType::Bool:
        return std::get<bool>(value);
    case ValueType::Double:
        return std::get<double>(value);
    case ValueType::Int16:
        return std::get<int16_t>(value);
    case ValueType::Int32:
        return std::get<int32_t>(value);
    }
    return {};
}

QString terminalSafe(const QString &text) {
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\n') {
            shown += QStringLiteral("\\n");
        } else if (u == u'\r') {
            shown += QStringLiteral("\\r");
        } else if (u == u'\t') {
            shown += QStringLiteral("\\t");
        } else if (u < 0x20 || (u >= 0x7f && u <= 0x9f)) {
            shown += QStringLiteral("\\x%1").arg(int(u), 2, 16, QLatin1Char('0'));
        } else {
            shown += c;
        }
    }
    return shown;
}

QString display(const PropertyValue &value) {
    const QString text = Ansi::toUnicode(formatValue(value));
    if (typeOf(value) != ValueType::Text) {
        return text;
    }
    // Line ends and other control characters are escaped, so that each value stays on its line.
    return u'"' + terminalSafe(text) + u'"';
}

std::vector<PropertyRecord> settingsOf(const ClientDocument &doc, bool all) {
    std::vector<PropertyRecord> records = doc.Settings()->toRecords();
    if (!all) {
        return records;
    }
    std::vector<PropertyRecord> every;
    for (const SettingDef &d : SettingsSchema::all()) {
        every.push_back({d.name, *doc.Settings()->value(d.name)});
    }
    for (PropertyRecord &r : records) {
        if (std::none_of(every.begin(), every.end(),
                         [&](const PropertyRecord &e) { return e.name == r.name; })) {
            every.push_back(std::move(r));
        }
    }
    return every;
}

QString kindName(bool safe) {
    return safe ? QStringLiteral("safe") : QStringLiteral("unsafe");
}

} // namespace zelp::cli::Output
