#pragma once

#include "clientsettings.h"
#include "compoundfile.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace zelp {

// What the settings dialog shows of the running test connection beside the settings: the
// second settings object. It is not stored in the file.
class SessionInfo : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Connected READ Connected)
    Q_PROPERTY(QString State READ State)
public:
    using QObject::QObject;
    bool Connected() const { return connected_; }
    QString State() const { return state_; }
    void update(bool connected, const QString &state);

Q_SIGNALS:
    void updated();

private:
    bool connected_ = false;
    QString state_ = QStringLiteral("Not connected");
};

// One connection file of either client: its settings, script and mouse patterns, kept in the
// streams "Settings", "Script" and "MousePatterns" of a compound file whose root class
// identifier says which client it belongs to.
class ClientDocument : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool SafeMode READ SafeMode)
    Q_PROPERTY(bool Changed READ Changed)
public:
    // Shows the script for editing; the new script, or nullopt when nothing changed.
    using ScriptEditor = std::function<std::optional<std::string>(const std::string &script)>;

    // nullptr with *error set when the file is no connection file of either client or its
    // settings cannot be read.
    static std::unique_ptr<ClientDocument> load(const QString &path, QString *error = nullptr);

    bool SafeMode() const { return safe_; }
    ClientSettings *Settings() { return &settings_; }
    const ClientSettings *Settings() const { return &settings_; }
    SessionInfo *Settings2() { return &session_; }
    const std::string &Script() const { return script_; }
    void setScript(const std::string &script);
    const std::string &MousePatterns() const { return mousePatterns_; }
    void setMousePatterns(const std::string &patterns);
    bool Changed() const { return changed_; }
    void PropChanged();
    // Forgets the edits, so that unloading writes nothing.
    void DiscardChanges() { changed_ = false; }
    void Connect();
    void Disconnect();
    void EditScript();

    QString path() const { return path_; }
    // Writes the document to its file (WriteWholeFile): normally the new file is complete
    // before it replaces the old one, and a failure leaves the old one as it was. In a folder
    // where no new file can be made the old file is rewritten in place, and a failure there
    // may leave it damaged. False with *error set to the reason when it could not.
    bool save(QString *error = nullptr);
    // Saves from now on to another file (after a save that failed, say).
    void setPath(const QString &path) { path_ = path; }

    // The editor EditScript shows; the window layer installs it.
    static void setScriptEditor(ScriptEditor editor);

Q_SIGNALS:
    void connectRequested();
    void disconnectRequested();

private:
    ClientDocument(QString path, bool safe, ClassIdBytes classId);

    QString path_;
    bool safe_ = false;
    ClassIdBytes classId_{};
    ClientSettings settings_;
    SessionInfo session_;
    std::string script_;
    std::string mousePatterns_;
    // What the document does not understand is written back as it was read.
    std::vector<std::pair<std::string, std::string>> otherStreams_;
    std::vector<CompoundStorage> otherStorages_;
    bool changed_ = false;
};

namespace ClientStreams {
inline constexpr const char *kSettings = "Settings";
inline constexpr const char *kScript = "Script";
inline constexpr const char *kMousePatterns = "MousePatterns";
} // namespace ClientStreams

} // namespace zelp
