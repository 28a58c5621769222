#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace zelp {

// What the document host keeps of a document it loaded from a file.
class HostedDocument {
public:
    virtual ~HostedDocument() = default;
    // What the host's Document answers: the client document, or a plain object for a file
    // that holds none.
    virtual QObject *object() = 0;
    // The document's view inside the host; nullptr for none.
    virtual QWidget *createView(QWidget *parent) = 0;
    // Called as the document is about to leave the host; a changed document writes itself
    // back here. False with *error set when it could not: then it stays in the host.
    virtual bool unload(QString *error) = 0;
};

// Creates the document of one registered class for a file; nullptr with *error set when the
// file cannot be loaded as that class.
using DocumentFactory =
    std::function<std::unique_ptr<HostedDocument>(const QString &path, QString *error)>;

// Reads a file's root class identifier as "{XXXXXXXX-XXXX-...}"; empty when the file is no
// compound file.
using ClassIdReader = std::function<QString(const QString &path)>;

} // namespace zelp
