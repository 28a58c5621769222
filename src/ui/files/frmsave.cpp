#include "frmsave.h"

#include "formlayout.h"
#include "wrapcheckbox.h"

#include "common/errhndlr.h"
#include "common/filedialog.h"
#include "common/fileutil.h"
#include "common/workfolders.h"
#include "files/htmlfilename.h"

#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace zelp {

namespace {

constexpr double kClientWidth = 5820;
constexpr double kClientHeight = 3000;
constexpr double kMargin = 120;

struct Rect {
    double left, top, width, height;
};

struct OptionDesign {
    const char *text;
    Rect rect;
    int helpContext;
};
const OptionDesign kOptions[SaveChoice::kOptionCount] = {
    {"Do &not save HTML file", {360, 1320, 2172, 252}, 205},
    {"Save &Internet HTML file", {360, 1680, 2172, 252}, 204},
    {"Save i&ntranet HTML file", {360, 2040, 2172, 252}, 203},
};

template <class W> W *makeControl(QWidget *form, const char *name, int helpContext = 0) {
    auto *control = new W(form);
    control->setObjectName(QLatin1String(name));
    if (helpContext != 0) {
        control->setProperty("helpContextId", helpContext);
    }
    return control;
}

void place(QWidget &control, const Rect &r, bool growToText = true) {
    FormLayout::place(control, r.left, r.top, r.width, r.height, growToText);
}

} // namespace

FrmSave::FrmSave(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmSave"));
    setWindowTitle(QStringLiteral("Save Velmaris 2000 Internet Connection"));
    setProperty("helpContextId", 200);
    setModal(true);
    setFont(FormLayout::formFont());
    setFixedSize(Twips::toPixelsX(kClientWidth, *this), Twips::toPixelsY(kClientHeight, *this));

    lbSessionFileName_ = makeControl<QLabel>(this, "lbSessionFileName");
    lbSessionFileName_->setText(QStringLiteral("Session &Filename:"));
    place(*lbSessionFileName_, {120, 240, 1332, 252});

    txSessionFileName_ = makeControl<QLineEdit>(this, "txSessionFileName", 208);
    txSessionFileName_->setReadOnly(true);
    place(*txSessionFileName_, {1680, 210, 2652, 372}, false);
    lbSessionFileName_->setBuddy(txSessionFileName_);

    lbHTMLFileName_ = makeControl<QLabel>(this, "lbHTMLFileName");
    lbHTMLFileName_->setText(QStringLiteral("&HTML Filename:"));
    place(*lbHTMLFileName_, {120, 840, 1332, 252});

    txHTMLFileName_ = makeControl<QLineEdit>(this, "txHTMLFileName", 207);
    place(*txHTMLFileName_, {1680, 780, 2652, 372}, false);
    lbHTMLFileName_->setBuddy(txHTMLFileName_);

    cmdBrowse_ = makeControl<QPushButton>(this, "cmdBrowse", 206);
    cmdBrowse_->setText(QStringLiteral("&Browse..."));
    place(*cmdBrowse_, {4560, 780, 852, 372});

    optionGroup_ = new QButtonGroup(this);
    for (int i = 0; i < SaveChoice::kOptionCount; ++i) {
        const OptionDesign &design = kOptions[i];
        const QByteArray name = "optHTML" + QByteArray::number(i);
        QRadioButton *option =
            makeControl<QRadioButton>(this, name.constData(), design.helpContext);
        option->setText(QString::fromLatin1(design.text));
        option->setProperty("index", i);
        place(*option, design.rect);
        optionGroup_->addButton(option, i);
        optHTML_[static_cast<std::size_t>(i)] = option;
    }

    cmdCancel_ = makeControl<QPushButton>(this, "cmdCancel", 201);
    cmdCancel_->setText(QStringLiteral("&Cancel"));
    place(*cmdCancel_, {3360, 1680, 852, 372});

    cmdSave_ = makeControl<QPushButton>(this, "cmdSave", 202);
    cmdSave_->setText(QStringLiteral("&Save"));
    place(*cmdSave_, {4560, 1680, 852, 372});
    cmdSave_->setDefault(true);

    chkOptGUI_ = new WrapCheckBox(
        QStringLiteral("Install &GUI support on client machines (increases download time)"), this);
    chkOptGUI_->setObjectName(QStringLiteral("chkOptGUI"));
    chkOptGUI_->setProperty("helpContextId", 209);
    {
        // A caption that needs more lines than the design's two may use the free width to the
        // right, then the height below.
        const Rect design{600, 2330, 3015, 375};
        place(*chkOptGUI_, design, false);
        const int designHeight = chkOptGUI_->height();
        if (chkOptGUI_->heightForWidth(chkOptGUI_->width()) > designHeight) {
            const int widest = Twips::toPixelsX(kClientWidth - kMargin - design.left, *this);
            chkOptGUI_->resize(widest, designHeight);
        }
        chkOptGUI_->resize(chkOptGUI_->width(),
                           std::max(designHeight, chkOptGUI_->heightForWidth(chkOptGUI_->width())));
    }

    QWidget *order[] = {txSessionFileName_, txHTMLFileName_, cmdBrowse_, optHTML_[0], optHTML_[1],
                        optHTML_[2],        cmdCancel_,      cmdSave_,   chkOptGUI_};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }

    connect(optionGroup_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) {
            optionSelected(id);
        }
    });
    connect(cmdSave_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel_, &QPushButton::clicked, this, &FrmSave::reject);
    connect(cmdBrowse_, &QPushButton::clicked, this, &FrmSave::browse);
}

int16_t FrmSave::Save(QString &sessionFileName, QString &htmlFileName) {
    QuietErrors quiet;
    quiet.step([&] { txSessionFileName_->setText(sessionFileName); });
    quiet.step([&] {
        if (htmlFileName.isEmpty()) {
            htmlFileName = htmlFileNameFor(sessionFileName);
        }
    });
    quiet.step([&] { txHTMLFileName_->setText(htmlFileName); });
    quiet.step([&] {
        for (QRadioButton *option : optHTML_) {
            option->setEnabled(true);
        }
        selectOption(0);
        chkOptGUI_->setChecked(false);
    });
    quiet.step([&] { exec(); });

    int16_t result = SaveChoice::kCancelled;
    quiet.step([&] {
        result = SaveChoice::resultFor(selectedOptions(), chkOptGUI_->isChecked());
        if (result != SaveChoice::kCancelled) {
            htmlFileName = txHTMLFileName_->text();
        }
    });
    return result;
}

void FrmSave::reject() {
    // An exclusive group keeps one button checked; lift that for the clearing.
    optionGroup_->setExclusive(false);
    for (QRadioButton *option : optHTML_) {
        option->setChecked(false);
    }
    optionGroup_->setExclusive(true);
    QDialog::reject();
}

void FrmSave::selectOption(int index) {
    QRadioButton *option = optHTML_[static_cast<std::size_t>(index)];
    option->setChecked(true);
    optionSelected(index); // also when it was selected already
}

void FrmSave::optionSelected(int index) {
    const bool enabled = SaveChoice::htmlControlsEnabled(index);
    for (QWidget *control : std::initializer_list<QWidget *>{lbHTMLFileName_, txHTMLFileName_,
                                                             cmdBrowse_, chkOptGUI_}) {
        control->setEnabled(enabled);
    }
}

void FrmSave::browse() {
    QuietErrors quiet;
    quiet.step([&] {
        FileDialogRequest request;
        request.kind = FileDialogRequest::Kind::Save;
        request.title = QStringLiteral("New Velmaris Internet HTML File");
        request.initialFolder = preparedHomeFolder();
        request.fileName = txHTMLFileName_->text();
        request.defaultExtension = QStringLiteral("htm");
        request.filter =
            QStringLiteral("Velmaris Internet HTML Files (*.htm)|*.htm|All Files (*.*)|*.*");
        request.filterIndex = 1;
        request.confirmOverwrite = true;
        const std::optional<QString> chosen = ChooseFile(request);
        if (!chosen) {
            return;
        }
        txHTMLFileName_->setText(*chosen);
        workFolders().home = FolderOf(*chosen);
    });
}

std::array<bool, SaveChoice::kOptionCount> FrmSave::selectedOptions() const {
    std::array<bool, SaveChoice::kOptionCount> selected{};
    for (std::size_t i = 0; i < selected.size(); ++i) {
        selected[i] = optHTML_[i]->isChecked();
    }
    return selected;
}

} // namespace zelp
