#pragma once

#include "textsearch.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace zelp {

// The find bar under the script: the text to find, match case, next/previous and a status
// line that says when nothing was found.
class ScriptFindBar : public QWidget {
    Q_OBJECT
public:
    explicit ScriptFindBar(QWidget *parent = nullptr);

    QString needle() const;
    Qt::CaseSensitivity caseSensitivity() const;
    void setStatus(const QString &status);
    // Shows the bar with the find text selected for typing over.
    void open(const QString &needle);

Q_SIGNALS:
    void findRequested(zelp::SearchDirection direction);
    void closed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *text_;
    QCheckBox *matchCase_;
    QLabel *status_;
};

} // namespace zelp
