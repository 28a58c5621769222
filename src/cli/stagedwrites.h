#pragma once

#include <QSet>
#include <QString>

#include "common/replacebatch.h"

#include <functional>
#include <vector>

namespace zelp::cli {

class Batch;

// The files a fleet command writes, renamed into place a few hundred at a time after one flush
// of all of them, so that a batch runs at the speed of the disk and each file is still its old
// or its new content after a crash. What is told of a file waits until it is in place.
class StagedWrites {
public:
    static constexpr qsizetype kFilesPerCommit = 256;

    explicit StagedWrites(Batch &batch) : batch_(batch) {}
    ~StagedWrites() { commit(); }

    // Before a file is read: a change by another program from now on fails it, and its folder
    // loses the work files that a killed run left there.
    void watch(const QString &file);
    void watch(const QString &file, const FileStamp &whenRead);
    // After the file was written (staged) or left alone: done runs once it is in place; a write
    // that did not land fails the file instead.
    void add(const QString &file, bool written, std::function<void()> done);
    void commit();

private:
    struct Pending {
        QString file;
        bool written = false;
        std::function<void()> done;
    };
    Batch &batch_;
    ReplaceBatch replace_;
    std::vector<Pending> pending_;
    QSet<QString> cleaned_;
};

} // namespace zelp::cli
