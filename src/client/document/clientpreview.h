#pragma once

#include "client/widgets/previewcontroller.h"

#include <QWidget>

class QScrollArea;

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

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void reportState();
    // The largest font up to the chosen size at which the whole screen fits the preview,
    // so that no scroll bar shows where there is room for the screen at a smaller size.
    void fitToRoom();

    ClientDocument &document_;
    TerminalView *view_;
    QScrollArea *scroll_;
    PreviewController controller_;
};

} // namespace zelp
