#include "regfile.h"

#include "common/ansi.h"
#include "common/debuglog.h"
#include "common/errhndlr.h"
#include "common/fileutil.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

namespace zelp {

namespace {

const QString kClassesUser = QStringLiteral("hkey_current_user\\software\\classes\\");
const QString kClassesMachine = QStringLiteral("hkey_local_machine\\software\\classes\\");

// Maps the root's name to its canonical folded form; classes root keys live where Windows
// keeps them, under the local machine.
QString canonicalKey(const QString &path) {
    QString key = path.trimmed().toCaseFolded();
    while (key.endsWith(QLatin1Char('\\'))) {
        key.chop(1);
    }
    const qsizetype slash = key.indexOf(QLatin1Char('\\'));
    const QString root = slash < 0 ? key : key.left(slash);
    const QString rest = slash < 0 ? QString() : key.mid(slash);
    static const QHash<QString, QString> roots = {
        {QStringLiteral("hkey_classes_root"),
         QStringLiteral("hkey_local_machine\\software\\classes")},
        {QStringLiteral("hkcr"), QStringLiteral("hkey_local_machine\\software\\classes")},
        {QStringLiteral("hkey_current_user"), QStringLiteral("hkey_current_user")},
        {QStringLiteral("hkcu"), QStringLiteral("hkey_current_user")},
        {QStringLiteral("hkey_local_machine"), QStringLiteral("hkey_local_machine")},
        {QStringLiteral("hklm"), QStringLiteral("hkey_local_machine")},
        {QStringLiteral("hkey_users"), QStringLiteral("hkey_users")},
        {QStringLiteral("hku"), QStringLiteral("hkey_users")},
        {QStringLiteral("hkey_current_config"), QStringLiteral("hkey_current_config")},
        {QStringLiteral("hkcc"), QStringLiteral("hkey_current_config")},
    };
    const auto it = roots.find(root);
    return it == roots.end() ? QString() : *it + rest;
}

// A quoted regedit string: \\ and \" are the only escapes; nullopt when not closed.
std::optional<QString> parseQuoted(QStringView data) {
    if (!data.startsWith(QLatin1Char('"'))) {
        return std::nullopt;
    }
    QString out;
    for (qsizetype i = 1; i < data.size(); ++i) {
        const QChar c = data.at(i);
        if (c == QLatin1Char('"')) {
            return out;
        }
        if (c == QLatin1Char('\\') && i + 1 < data.size() &&
            (data.at(i + 1) == QLatin1Char('\\') || data.at(i + 1) == QLatin1Char('"'))) {
            ++i;
            out += data.at(i);
            continue;
        }
        out += c;
    }
    return std::nullopt;
}

// hex(1) and hex(2) hold text: UTF-16LE in version 5 files, single-byte in REGEDIT4 files.
std::optional<QString> parseHexText(QStringView data, bool unicode) {
    const qsizetype colon = data.indexOf(QLatin1Char(':'));
    QByteArray bytes;
    for (QStringView part : data.mid(colon + 1).split(QLatin1Char(','))) {
        part = part.trimmed();
        if (part.isEmpty()) {
            continue;
        }
        bool ok = false;
        const uint b = part.toUInt(&ok, 16);
        if (!ok || b > 255) {
            return std::nullopt;
        }
        bytes.append(static_cast<char>(b));
    }
    QString text;
    if (unicode) {
        if (bytes.size() % 2 != 0) {
            return std::nullopt;
        }
        text = QString::fromUtf16(reinterpret_cast<const char16_t *>(bytes.constData()),
                                  bytes.size() / 2);
    } else {
        text = Ansi::toUnicode(bytes);
    }
    if (text.endsWith(QChar(0))) {
        text.chop(1); // the stored terminator
    }
    return text;
}

QString decodeFile(const QByteArray &content, bool *unicode) {
    *unicode = false;
    if (content.startsWith("\xFF\xFE")) {
        *unicode = true;
        const QByteArray body = content.mid(2);
        return QString::fromUtf16(reinterpret_cast<const char16_t *>(body.constData()),
                                  body.size() / 2);
    }
    if (content.startsWith("\xEF\xBB\xBF")) {
        *unicode = true;
        return QString::fromUtf8(content.mid(3));
    }
    return Ansi::toUnicode(content);
}

// Registry failures are never shown; the log tells why a file was passed over.
void logIgnored(const QString &path, const QString &reason) {
    QuietErrors quiet;
    quiet.step([&] {
        DebugLog("Registry file " + path.toStdString() + " ignored: " + reason.toStdString());
    });
}

} // namespace

namespace {

// The file's lines without their line ends, from its header on; empty when it has none of
// the two headers. *hexIsUtf16 tells which.
QStringList exportLines(const QByteArray &content, bool *hexIsUtf16) {
    bool unicode = false;
    QStringList lines = decodeFile(content, &unicode).split(QLatin1Char('\n'));
    for (QString &line : lines) {
        if (line.endsWith(QLatin1Char('\r'))) {
            line.chop(1);
        }
    }
    qsizetype i = 0;
    while (i < lines.size() && lines.at(i).trimmed().isEmpty()) {
        ++i;
    }
    const QString header = i < lines.size() ? lines.at(i).trimmed() : QString();
    if (header != QLatin1String("REGEDIT4") &&
        header != QLatin1String("Windows Registry Editor Version 5.00")) {
        return {};
    }
    *hexIsUtf16 = header != QLatin1String("REGEDIT4");
    return lines.mid(i);
}

} // namespace

bool RegFileRegistry::merge(const QByteArray &content) {
    bool hexIsUtf16 = false;
    const QStringList lines = exportLines(content, &hexIsUtf16);
    if (lines.isEmpty()) {
        return false;
    }
    QString key; // empty: no key, or a deleted one
    for (qsizetype i = 1; i < lines.size(); ++i) {
        QString line = lines.at(i).trimmed();
        // Hex data runs on over lines that end with a backslash.
        while (line.contains(QLatin1String("=hex")) && line.endsWith(QLatin1Char('\\')) &&
               i + 1 < lines.size()) {
            line.chop(1);
            line += lines.at(++i).trimmed();
        }
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            key = enterKey(line);
        } else if (!key.isEmpty() && line.startsWith(QLatin1String("@="))) {
            setDefault(key, QStringView(line).mid(2).trimmed(), hexIsUtf16);
        }
        // Anything else is blank, a comment, or a named value, which no one here reads.
    }
    return true;
}

QString RegFileRegistry::enterKey(const QString &line) {
    const bool remove = line.startsWith(QLatin1String("[-"));
    const QString key = canonicalKey(line.mid(remove ? 2 : 1, line.size() - (remove ? 3 : 2)));
    if (key.isEmpty()) {
        return key;
    }
    if (remove) {
        const QString prefix = key + QLatin1Char('\\');
        for (auto it = defaults_.begin(); it != defaults_.end();) {
            it = (it.key() == key || it.key().startsWith(prefix)) ? defaults_.erase(it)
                                                                  : std::next(it);
        }
        return {};
    }
    if (!defaults_.contains(key)) {
        defaults_.insert(key, std::nullopt);
    }
    return key;
}

void RegFileRegistry::setDefault(const QString &key, QStringView data, bool hexIsUtf16) {
    std::optional<QString> value;
    if (data.startsWith(QLatin1Char('"'))) {
        value = parseQuoted(data);
    } else if (data.startsWith(QLatin1String("hex(1):")) ||
               data.startsWith(QLatin1String("hex(2):"))) {
        value = parseHexText(data, hexIsUtf16);
    }
    // Anything else ("-", numbers, binary data) is not text and reads as no value.
    defaults_.insert(key, value);
}

bool RegFileRegistry::mergeFile(const QString &path) {
    QString reason;
    std::optional<QByteArray> content;
    if (!path.startsWith(QLatin1Char(':'))) { // not a built-in resource
        content = ReadRegularFile(path, kMaxFileSize, &reason);
    } else {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly) && file.size() <= kMaxFileSize) {
            content = file.read(kMaxFileSize);
        } else {
            reason = file.errorString();
        }
    }
    if (!content) {
        // A missing file is the usual case of an optional file, not worth a line.
        const QFileInfo info(path);
        if (info.exists() || info.isSymLink()) {
            logIgnored(path, reason);
        }
        return false;
    }
    bool merged = false;
    try {
        merged = merge(*content);
        if (!merged) {
            reason = QStringLiteral("not a registry export file");
        }
    } catch (const std::exception &e) {
        reason = QString::fromLocal8Bit(e.what());
    }
    if (!merged) {
        logIgnored(path, reason);
    }
    return merged;
}

std::optional<std::string> RegFileRegistry::queryDefaultValue(RegistryRoot root,
                                                              std::string_view keyPath,
                                                              std::size_t bufferSize) const {
    const QString path = Ansi::toUnicode(keyPath).toCaseFolded();
    QStringList candidates;
    switch (root) {
    case RegistryRoot::CurrentUser:
        candidates << QStringLiteral("hkey_current_user\\") + path;
        break;
    case RegistryRoot::LocalMachine:
        candidates << QStringLiteral("hkey_local_machine\\") + path;
        break;
    case RegistryRoot::ClassesRoot:
        // The per-user classes come before the machine's, as in the merged view.
        candidates << kClassesUser + path << kClassesMachine + path;
        break;
    }
    for (QString candidate : candidates) {
        while (candidate.endsWith(QLatin1Char('\\'))) {
            candidate.chop(1);
        }
        const auto it = defaults_.find(candidate);
        if (it == defaults_.end()) {
            continue;
        }
        if (!it->has_value()) {
            return std::nullopt;
        }
        std::string bytes = Ansi::fromUnicode(**it);
        if (bytes.size() + 1 > bufferSize) {
            return std::nullopt;
        }
        return bytes;
    }
    return std::nullopt;
}

QString RegFileRegistry::userFilePath() {
    const QString named = qEnvironmentVariable("ZELPDEV2K_REGISTRY");
    if (!named.isEmpty()) {
        return named;
    }
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/zelpdev2k/registry.reg");
}

std::unique_ptr<RegFileRegistry> RegFileRegistry::loadStandard() {
    auto registry = std::make_unique<RegFileRegistry>();
    registry->mergeFile(QStringLiteral(":/registry/default.reg"));
    registry->mergeFile(userFilePath());
    return registry;
}

} // namespace zelp
