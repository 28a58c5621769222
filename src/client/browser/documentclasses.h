#pragma once

#include "hosteddocument.h"

#include <QString>

#include <map>

namespace zelp {

// The document classes the host can create, by programmatic identifier. Which class
// identifier belongs to which identifier is looked up in the registry ("<progid>\Clsid"
// under the classes root), as for any registered document server.
class DocumentClasses {
public:
    void add(const QString &progId, DocumentFactory factory);
    // The factory whose registered class identifier equals classId (without regard to case
    // or braces); an empty function when none.
    DocumentFactory factoryFor(const QString &classId) const;

    static DocumentClasses &instance();

private:
    std::map<QString, DocumentFactory> factories_;
};

// "{abc}" and "ABC" compare equal.
QString normalizedClassId(const QString &classId);

} // namespace zelp
