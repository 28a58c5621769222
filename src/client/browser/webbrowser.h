#pragma once

#include "documentclasses.h"
#include "hosteddocument.h"

#include <QPointer>
#include <QWidget>

#include <memory>

namespace zelp {

// The document host: navigates to a connection file and hosts the client document that is
// registered for the file's root class identifier. Navigation completes from the event loop,
// never inside Navigate.
class WebBrowser : public QWidget {
    Q_OBJECT
public:
    explicit WebBrowser(QWidget *parent = nullptr);
    ~WebBrowser() override;

    // A file path, or "about:blank" to unload the current document.
    void Navigate(const QString &url);
    // Cancels a navigation that has not completed yet.
    void Stop();
    // The hosted document; a plain object (objectName "nonClientDocument") after a navigation
    // to a file that holds no client document; nullptr when blank.
    QObject *Document() const;
    // Where the last completed navigation arrived; empty when blank.
    QString LocationURL() const;
    // Why the last file did not give a client document; empty otherwise.
    QString lastError() const { return lastError_; }

    void setClassIdReader(ClassIdReader reader) { readClassId_ = std::move(reader); }
    void setDocumentClasses(const DocumentClasses *classes) { classes_ = classes; }

Q_SIGNALS:
    // Once per completed navigation, when Document can be read.
    void NavigateComplete2(QObject *frame, const QString &url);
    // Instead of NavigateComplete2 when the hosted document could not write itself back as it
    // was leaving: it stays hosted and the navigation to url has ended.
    void UnloadFailed(const QString &documentPath, const QString &reason);

private:
    void complete(const QString &url);
    bool unloadCurrent(QString *error);

    ClassIdReader readClassId_;
    const DocumentClasses *classes_ = &DocumentClasses::instance();
    std::unique_ptr<HostedDocument> document_;
    QPointer<QWidget> view_;
    QObject nonClient_;
    bool showsNonClient_ = false;
    QString location_;
    QString lastError_;
    quint64 generation_ = 0;
};

} // namespace zelp
