#include "hostedclient.h"

#include "clientpreview.h"

#include "client/core/clientclasses.h"
#include "client/scripteditor/scripteditordialog.h"

#include <QApplication>
#include <QWidget>

namespace zelp {

namespace {

HostedClientDocument::ViewFactory &viewFactory() {
    static HostedClientDocument::ViewFactory factory;
    return factory;
}

std::unique_ptr<HostedDocument> openClient(const QString &path, QString *error) {
    auto document = ClientDocument::load(path, error);
    if (!document) {
        return nullptr;
    }
    return std::make_unique<HostedClientDocument>(std::move(document));
}

} // namespace

HostedClientDocument::HostedClientDocument(std::unique_ptr<ClientDocument> document)
    : document_(std::move(document)) {}

QWidget *HostedClientDocument::createView(QWidget *parent) {
    return viewFactory() ? viewFactory()(*document_, parent) : nullptr;
}

bool HostedClientDocument::unload(QString *error) {
    document_->Disconnect();
    return !document_->Changed() || document_->save(error);
}

void HostedClientDocument::setViewFactory(ViewFactory factory) {
    viewFactory() = std::move(factory);
}

void registerClientDocuments(DocumentClasses &classes) {
    classes.add(QString::fromLatin1(ClientClasses::kUnsafeProgId), openClient);
    classes.add(QString::fromLatin1(ClientClasses::kSafeProgId), openClient);
    HostedClientDocument::setViewFactory(
        [](ClientDocument &document, QWidget *parent) -> QWidget * {
            return new ClientPreview(document, parent);
        });
    ClientDocument::setScriptEditor([](const std::string &script) {
        return ScriptEditorDialog::edit(QApplication::activeWindow(),
                                        QStringLiteral("Velmaris 2000 Script Editor"), script);
    });
}

} // namespace zelp
