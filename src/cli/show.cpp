#include "commands.h"
#include "documentcommands.h"

#include "client/core/clientdocument.h"
#include "common/ansi.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

namespace zelp::cli {

namespace {

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

void print(const QString &text) {
    std::fputs(text.toUtf8().constData(), stdout);
}

} // namespace

int runShow(const QStringList &args) {
    QStringList files;
    bool json = false;
    for (const QString &arg : args) {
        if (arg == QLatin1String("--json")) {
            json = true;
        } else if (arg.startsWith(u'-')) {
            return usage("show");
        } else {
            files << arg;
        }
    }
    if (files.size() != 1) {
        return usage("show");
    }
    QString error;
    const auto doc = ClientDocument::load(files.first(), &error);
    if (!doc) {
        return fail(QStringLiteral("%1 is no connection file: %2").arg(files.first(), error));
    }
    const std::vector<PropertyRecord> records = doc->Settings()->toRecords();
    const QString kind = doc->SafeMode() ? QStringLiteral("safe") : QStringLiteral("unsafe");
    if (json) {
        QJsonObject settings;
        for (const PropertyRecord &r : records) {
            settings.insert(Ansi::toUnicode(r.name), jsonOf(r.value));
        }
        const QJsonObject object{
            {QStringLiteral("file"), files.first()},
            {QStringLiteral("client"), kind},
            {QStringLiteral("settings"), settings},
            {QStringLiteral("scriptLength"), qint64(doc->Script().size())},
            {QStringLiteral("mousePatternsLength"), qint64(doc->MousePatterns().size())},
        };
        print(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) + u'\n');
        return kOk;
    }
    QString out = QStringLiteral("%1: %2 client\n").arg(files.first(), kind);
    for (const PropertyRecord &r : records) {
        const QString value = Ansi::toUnicode(formatValue(r.value));
        out += typeOf(r.value) == ValueType::Text
                   ? QStringLiteral("%1 = \"%2\"\n").arg(Ansi::toUnicode(r.name), value)
                   : QStringLiteral("%1 = %2\n").arg(Ansi::toUnicode(r.name), value);
    }
    if (records.empty()) {
        out += QStringLiteral("(every setting has its default)\n");
    }
    out += QStringLiteral("script: %1 bytes\n").arg(doc->Script().size());
    print(out);
    return kOk;
}

} // namespace zelp::cli
