#pragma once

#include <QSet>
#include <QString>

#include "common/replacebatch.h"

#include <functional>
#include <optional>
#include <vector>

namespace zelp::cli {

class Batch;

// The files a fleet command writes, renamed into place a few hundred at a time after one flush
// of all of them, so that a batch runs at the speed of the disk and each file is still its old
// or its new content after a crash. What is told of a file waits until it is in place.
class StagedWrites {
public:
    static constexpr qsizetype kFilesPerCommit = 256;
    // Told once the file is in place or left alone (nullopt), or why its write did not land.
    using Outcome = std::function<void(const std::optional<QString> &failure)>;

    // Without a batch, only the add that takes an outcome may be used.
    StagedWrites() = default;
    explicit StagedWrites(Batch &batch) : batch_(&batch) {}
    ~StagedWrites() { commit(); }

    // Before a file is read: a change by another program from now on fails it, and its folder
    // loses the work files that a killed run left there.
    void watch(const QString &file);
    void watch(const QString &file, const FileStamp &whenRead);
    // After the file was written (staged) or left alone: done runs once it is in place; a write
    // that did not land fails the file instead.
    void add(const QString &file, bool written, std::function<void()> done);
    // The same, with what is told of a write that did not land left to outcome.
    void add(const QString &file, bool written, Outcome outcome);
    // A work file that a later step replaces: neither flushed nor staged.
    void markScratch(const QString &path) { replace_.markScratch(path); }
    void commit();

private:
    void watchTarget(const QString &target, const FileStamp &whenRead);
    struct Pending {
        QString file;
        bool written = false;
        Outcome outcome;
    };
    Batch *batch_ = nullptr;
    ReplaceBatch replace_;
    std::vector<Pending> pending_;
    QSet<QString> cleaned_;
};

} // namespace zelp::cli
