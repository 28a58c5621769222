#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace zelp::cli {

// Which old file goes to which new one, decided before anything is written.
struct ConvertJob {
    QString source;
    QString target;
};

// A file that is not converted at all: two sources that would land on one target, a target
// that would replace an original, an argument that names nothing.
struct ConvertRefusal {
    QString source;
    QString why;
};

struct ConvertPlan {
    std::vector<ConvertJob> jobs;
    std::vector<ConvertRefusal> refused;
};

// The plan of "convert --into DIR OLD...": a folder stands for the *.ats files in it and below
// it, each going to the same place under DIR; a file given by name goes to DIR/name.ats. No
// original is ever a target.
ConvertPlan planInto(const QString &into, const QStringList &given);
// The plan of "convert OLD NEW".
ConvertPlan planOne(const QString &source, const QString &target);
// Whether a file is already a connection file of the 2000 generation.
bool isCurrentConnection(const QString &path);

} // namespace zelp::cli
