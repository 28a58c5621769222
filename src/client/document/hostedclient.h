#pragma once

#include "client/browser/documentclasses.h"
#include "client/browser/hosteddocument.h"
#include "client/core/clientdocument.h"

#include <functional>
#include <memory>

namespace zelp {

// A client document as the document host keeps it: it writes itself back when it leaves the
// host changed, and says so through the message box when it cannot.
class HostedClientDocument : public HostedDocument {
public:
    using ViewFactory = std::function<QWidget *(ClientDocument &document, QWidget *parent)>;

    explicit HostedClientDocument(std::unique_ptr<ClientDocument> document);

    QObject *object() override { return document_.get(); }
    QWidget *createView(QWidget *parent) override;
    bool unload(QString *error) override;

    ClientDocument *document() { return document_.get(); }

    // The preview the host shows for every client document; none when not set.
    static void setViewFactory(ViewFactory factory);

private:
    std::unique_ptr<ClientDocument> document_;
};

// Registers both clients with the host's document classes and makes the script editor the
// one EditScript shows.
void registerClientDocuments(DocumentClasses &classes = DocumentClasses::instance());

} // namespace zelp
