#pragma once

#include <QApplication>

namespace zelp {

// The designer's application object: no exception crosses the event loop. An error that
// leaves an event handler unguarded is logged and ends the program, as it has nowhere else
// to go.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

} // namespace zelp
