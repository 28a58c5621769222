#pragma once

#include "common/errhndlr.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace zelp {

// The unanticipated-error dialog: the report and the choice of Fail, Retry or Ignore.
class FrmErrHndlr : public QDialog {
    Q_OBJECT
public:
    explicit FrmErrHndlr(QWidget *parent = nullptr);

    void setReport(const QString &report);
    // The choice the caption of lblReturn carries; 0 (Fail) when no button was pressed.
    int16_t choice() const;
    // The text box's tab stops in pixels.
    QList<qreal> tabStops() const;

    static QString caption();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    bool chooseByKey(QKeyEvent *event);
    void choose(int16_t choice);
    void setTabStops();

    QGroupBox *frame3D1_;
    QPlainTextEdit *txDetails_;
    QPushButton *cmdEnd_;
    QPushButton *cmdResume_;
    QPushButton *cmdResumeNext_;
    QLabel *lblReturn_;
};

// The error-dialog service of the designer: a fresh FrmErrHndlr for every report, and the
// platform's standard message box when none can be made.
class WidgetErrorDialog : public ErrorDialogService {
public:
    std::optional<int16_t> choose(const std::string &report) override;
    void showFallback(const std::string &report) override;

    static QString fallbackTitle();
};

// Horizontal dialog units in pixels of a font, after the average width of the alphabet.
int dialogUnitsToPixels(int units, const QFont &font);

} // namespace zelp
