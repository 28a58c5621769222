#pragma once

#include "client/widgets/previewcontroller.h"

#include <QWidget>

namespace zelp {

class ClientDocument;

// What the host shows of a client document: its terminal screen, sized and titled from the
// settings, running the test connection when the document is asked to connect.
class ClientPreview : public QWidget {
    Q_OBJECT
public:
    ClientPreview(ClientDocument &document, QWidget *parent = nullptr);

    TerminalView *view() const { return view_; }
    PreviewController *controller() { return &controller_; }

    // The preview's parameters from the document's settings.
    static PreviewParams paramsOf(const ClientDocument &document);

private:
    void reportState();

    ClientDocument &document_;
    TerminalView *view_;
    PreviewController controller_;
};

} // namespace zelp
