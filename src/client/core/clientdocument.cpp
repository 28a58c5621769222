#include "clientdocument.h"

#include "clientclasses.h"
#include "recordstream.h"

#include "common/fileutil.h"

namespace zelp {

namespace {

ClientDocument::ScriptEditor &scriptEditor() {
    static ClientDocument::ScriptEditor editor;
    return editor;
}

bool fail(QString *error, const QString &why) {
    if (error) {
        *error = why;
    }
    return false;
}

} // namespace

void SessionInfo::update(bool connected, const QString &state) {
    connected_ = connected;
    state_ = state;
    Q_EMIT updated();
}

ClientDocument::ClientDocument(QString path, bool safe, ClassIdBytes classId)
    : path_(std::move(path)), safe_(safe), classId_(classId) {
    connect(&settings_, &ClientSettings::edited, this, [this] { changed_ = true; });
}

std::unique_ptr<ClientDocument> ClientDocument::load(const QString &path, QString *error) {
    QString why;
    const auto content = CompoundFile::read(path, &why);
    if (!content) {
        fail(error, why);
        return nullptr;
    }
    const auto safe = ClientClasses::safeModeOf(content->classId);
    if (!safe) {
        fail(error, QStringLiteral("its class identifier %1 belongs to no client")
                        .arg(classIdText(content->classId)));
        return nullptr;
    }
    std::unique_ptr<ClientDocument> doc(new ClientDocument(path, *safe, content->classId));
    doc->otherStorages_ = content->storages;
    for (const auto &[name, bytes] : content->streams) {
        if (name == ClientStreams::kSettings) {
            std::string streamError;
            const auto records = RecordStream::decode(bytes, &streamError);
            if (!records) {
                fail(error, QStringLiteral("its \"Settings\" stream is damaged (%1)")
                                .arg(QString::fromStdString(streamError)));
                return nullptr;
            }
            doc->settings_.assign(*records);
        } else if (name == ClientStreams::kScript) {
            doc->script_ = bytes;
        } else if (name == ClientStreams::kMousePatterns) {
            doc->mousePatterns_ = bytes;
        } else {
            doc->otherStreams_.emplace_back(name, bytes);
        }
    }
    return doc;
}

void ClientDocument::setScript(const std::string &script) {
    if (script != script_) {
        script_ = script;
        changed_ = true;
    }
}

void ClientDocument::setMousePatterns(const std::string &patterns) {
    if (patterns != mousePatterns_) {
        mousePatterns_ = patterns;
        changed_ = true;
    }
}

void ClientDocument::PropChanged() {
    changed_ = true;
}

void ClientDocument::Connect() {
    Q_EMIT connectRequested();
}

void ClientDocument::Disconnect() {
    Q_EMIT disconnectRequested();
}

void ClientDocument::EditScript() {
    if (scriptEditor()) {
        if (auto edited = scriptEditor()(script_)) {
            setScript(*edited);
        }
    }
}

void ClientDocument::setScriptEditor(ScriptEditor editor) {
    scriptEditor() = std::move(editor);
}

bool ClientDocument::save(QString *error) {
    std::string streamError;
    const auto settings = RecordStream::encode(settings_.toRecords(), &streamError);
    if (!settings) {
        return fail(error, QString::fromStdString(streamError));
    }
    CompoundContent content;
    content.classId = classId_;
    content.streams = {{ClientStreams::kSettings, *settings},
                       {ClientStreams::kScript, script_},
                       {ClientStreams::kMousePatterns, mousePatterns_}};
    content.streams.insert(content.streams.end(), otherStreams_.begin(), otherStreams_.end());
    content.storages = otherStorages_;
    QString why;
    const auto bytes = CompoundFile::build(content, &why);
    if (!bytes) {
        return fail(error, why);
    }
    if (!WriteWholeFile(path_, QByteArray::fromStdString(*bytes), &why)) {
        return fail(error, why);
    }
    changed_ = false;
    return true;
}

} // namespace zelp
