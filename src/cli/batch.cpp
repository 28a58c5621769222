#include "batch.h"

#include "commands.h"
#include "filelist.h"
#include "stoprequest.h"

#include "client/core/clientdocument.h"

#include <cstdio>
#include <unistd.h>

namespace zelp::cli {

namespace {
// The counter appears only when the work lasts longer than this, and changes at most this
// often, so that quick runs and logs stay clean.
constexpr qint64 kProgressAfterMs = 500;
constexpr qint64 kProgressEveryMs = 100;
} // namespace

QString filesWord(qsizetype n) {
    return n == 1 ? QStringLiteral("1 file") : QStringLiteral("%1 files").arg(n);
}

Batch::Batch(qsizetype total, bool many)
    : total_(total), many_(many), terminal_(isatty(STDERR_FILENO) == 1) {
    clock_.start();
}

Batch::Batch(const FileList &list, qsizetype more) : Batch(list.files.size() + more, list.many) {
    for (const QString &line : list.errors) {
        failedArgument(line);
    }
}

Batch::~Batch() {
    clearProgress();
}

void Batch::failed(const QString &file, const QString &why) {
    failedArgument(QStringLiteral("%1: %2").arg(file, why));
}

void Batch::failedArgument(const QString &line) {
    ++failures_;
    tell(line);
}

void Batch::tell(const QString &line) {
    clearProgress();
    fail(line);
}

void Batch::step() {
    ++done_;
    if (!terminal_ || done_ >= total_) {
        return;
    }
    const qint64 now = clock_.elapsed();
    if (now >= kProgressAfterMs && now - lastShown_ >= kProgressEveryMs) {
        std::fprintf(stderr, "\r%lld/%lld", static_cast<long long>(done_),
                     static_cast<long long>(total_));
        std::fflush(stderr);
        shown_ = true;
        lastShown_ = now;
    }
}

int Batch::finish(const QString &summary) {
    clearProgress();
    if (many_) {
        QString line = summary;
        if (failures_ > 0) {
            line += QStringLiteral(", %1 failed").arg(failures_);
        }
        std::fprintf(stderr, "zelpdev2k-cli: %s\n", line.toLocal8Bit().constData());
    }
    return failures_ > 0 ? kFailed : kOk;
}

int Batch::finish(const QString &summary, const QString &soFar) {
    if (!StopRequest::requested()) {
        return finish(summary);
    }
    finish(QStringLiteral("stopped by signal %1 after %2 of %3")
               .arg(StopRequest::signal())
               .arg(done_)
               .arg(soFar));
    return StopRequest::exitCode();
}

void Batch::clearProgress() {
    if (shown_) {
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
        shown_ = false;
    }
}

std::unique_ptr<ClientDocument> loadStep(Batch &batch, const QString &file, const QString &after) {
    QString error;
    auto doc = ClientDocument::load(file, &error);
    batch.step();
    if (!doc) {
        batch.failed(file, QStringLiteral("no connection file: %1%2").arg(error, after));
    }
    return doc;
}

} // namespace zelp::cli
