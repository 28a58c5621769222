#pragma once

#include "files/savechoice.h"

#include <QDialog>

#include <array>
#include <cstdint>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zelp {

class WrapCheckBox;

// The save dialog: shows the connection's path and asks whether and which launch page to
// write, under which name, and whether the page installs the GUI support. Made for one Save.
class FrmSave : public QDialog {
    Q_OBJECT
public:
    explicit FrmSave(QWidget *owner = nullptr);

    // Shows the dialog modally. sessionFileName is only shown. An empty htmlFileName is first
    // derived from sessionFileName; unless the dialog is cancelled it returns the HTML box's
    // text. Returns a SaveChoice result (0 when cancelled).
    int16_t Save(QString &sessionFileName, QString &htmlFileName);

public Q_SLOTS:
    // Cancel, Escape and closing by the frame: no option stays selected, nothing is saved.
    void reject() override;

private:
    void selectOption(int index);
    void optionSelected(int index);
    void browse();
    std::array<bool, SaveChoice::kOptionCount> selectedOptions() const;

    QLabel *lbSessionFileName_;
    QLineEdit *txSessionFileName_;
    QLabel *lbHTMLFileName_;
    QLineEdit *txHTMLFileName_;
    QPushButton *cmdBrowse_;
    std::array<QRadioButton *, SaveChoice::kOptionCount> optHTML_{};
    QButtonGroup *optionGroup_;
    QPushButton *cmdCancel_;
    QPushButton *cmdSave_;
    WrapCheckBox *chkOptGUI_;
};

} // namespace zelp
