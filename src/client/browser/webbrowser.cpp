#include "webbrowser.h"

#include "client/core/compoundfile.h"
#include "common/debuglog.h"
#include "common/errors.h"

#include <QTimer>
#include <QVBoxLayout>

namespace zelp {

namespace {
const QString kBlank = QStringLiteral("about:blank");
}

WebBrowser::WebBrowser(QWidget *parent)
    : QWidget(parent), readClassId_([](const QString &path) {
          const auto classId = CompoundFile::readRootClassId(path);
          return classId ? classIdText(*classId) : QString();
      }) {
    setObjectName(QStringLiteral("WebBrowser"));
    nonClient_.setObjectName(QStringLiteral("nonClientDocument"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

WebBrowser::~WebBrowser() {
    try {
        QString error;
        if (!unloadCurrent(&error)) {
            DebugLog("The hosted document was dropped unsaved: " + error.toStdString());
        }
    } catch (...) {
        // A host that goes away cannot report anything any more.
    }
}

void WebBrowser::Navigate(const QString &url) {
    const quint64 generation = ++generation_;
    QTimer::singleShot(0, this, [this, generation, url] {
        if (generation == generation_) {
            complete(url);
        }
    });
}

void WebBrowser::Stop() {
    ++generation_;
}

QObject *WebBrowser::Document() const {
    if (document_) {
        return document_->object();
    }
    return showsNonClient_ ? const_cast<QObject *>(&nonClient_) : nullptr;
}

QString WebBrowser::LocationURL() const {
    return location_;
}

bool WebBrowser::unloadCurrent(QString *error) {
    if (document_) {
        bool unloaded = false;
        try {
            unloaded = document_->unload(error);
        } catch (...) {
            // An unexpected error is a failed unload too: the edits are not dropped for it.
            if (error) {
                *error = QString::fromStdString(errorFrom(std::current_exception()).description);
            }
        }
        if (!unloaded) {
            return false;
        }
    }
    // The view goes first: it shows the document.
    if (view_) {
        delete view_;
    }
    document_.reset();
    showsNonClient_ = false;
    return true;
}

void WebBrowser::complete(const QString &url) {
    QString unloadError;
    if (!unloadCurrent(&unloadError)) {
        // A document that cannot write itself is not thrown away with its edits.
        Q_EMIT UnloadFailed(location_, unloadError);
        return;
    }
    lastError_.clear();
    if (url.compare(kBlank, Qt::CaseInsensitive) == 0) {
        location_.clear();
    } else {
        location_ = url;
        const QString classId = readClassId_ ? readClassId_(url) : QString();
        const DocumentFactory factory =
            classes_ ? classes_->factoryFor(classId) : DocumentFactory();
        if (factory) {
            document_ = factory(url, &lastError_);
        } else {
            lastError_ = classId.isEmpty()
                             ? tr("%1 is no compound document.").arg(url)
                             : tr("No document class is registered for %1.").arg(classId);
        }
        if (document_) {
            view_ = document_->createView(this);
            if (view_) {
                layout()->addWidget(view_);
                view_->show();
            }
        } else {
            showsNonClient_ = true;
        }
    }
    Q_EMIT NavigateComplete2(this, url);
}

} // namespace zelp
