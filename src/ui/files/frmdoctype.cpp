#include "frmdoctype.h"

#include "formlayout.h"

#include "files/strings.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace zelp {

namespace {

constexpr double kClientWidth = 4170;
constexpr double kClientHeight = 4005;

QPushButton *makeButton(QWidget *form, const char *name, const QString &text, int helpContext) {
    auto *button = new QPushButton(text, form);
    button->setObjectName(QLatin1String(name));
    button->setProperty("helpContextId", helpContext);
    return button;
}

} // namespace

FrmDocType::FrmDocType(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmDocType"));
    setWindowTitle(QStringLiteral("Velmaris 2000 Internet Connection Type"));
    setProperty("helpContextId", 100);
    setModal(true);
    setFont(FormLayout::formFont());
    setFixedSize(Twips::toPixelsX(kClientWidth, *this), Twips::toPixelsY(kClientHeight, *this));

    label2_ = new QLabel(QStringLiteral("New Connection Safety"), this);
    label2_->setObjectName(QStringLiteral("Label2"));
    label2_->setTextFormat(Qt::PlainText);
    label2_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label2_->setFont(FormLayout::formFont(12, true));
    FormLayout::place(*label2_, 360, 0, 3252, 372);

    label1_ = new QLabel(this);
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->setTextFormat(Qt::PlainText);
    label1_->setWordWrap(true);
    label1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label1_->setText(stringResource(kStringConnectionSafety));
    FormLayout::place(*label1_, 120, 480, 3855, 2655, false);

    cmdSafe_ = makeButton(this, "cmdSafe", QStringLiteral("Create &Safe Connection"), 102);
    FormLayout::place(*cmdSafe_, 120, 3120, 2292, 372);
    cmdUnsafe_ = makeButton(this, "cmdUnsafe", QStringLiteral("Create &Unsafe Connection"), 101);
    FormLayout::place(*cmdUnsafe_, 120, 3600, 2292, 372);
    cmdCancel_ = makeButton(this, "cmdCancel", QStringLiteral("&Cancel"), 103);
    FormLayout::place(*cmdCancel_, 2880, 3600, 1092, 372);

    setTabOrder(cmdSafe_, cmdUnsafe_);
    setTabOrder(cmdUnsafe_, cmdCancel_);
    cmdSafe_->setFocus();

    connect(cmdSafe_, &QPushButton::clicked, this, [this] { choose(false, false); });
    connect(cmdUnsafe_, &QPushButton::clicked, this, [this] { choose(false, true); });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] { choose(true, false); });
}

bool FrmDocType::event(QEvent *event) {
    // An activation that arrives after a button has answered belongs to the showing just ended.
    if (event->type() == QEvent::WindowActivate && isVisible() && !answered_) {
        Cancelled = false;
        Unsafe = false;
    }
    return QDialog::event(event);
}

void FrmDocType::showEvent(QShowEvent *event) {
    // A dialog shown again must not report the previous answer if it is closed by its frame.
    answered_ = false;
    Cancelled = false;
    Unsafe = false;
    QDialog::showEvent(event);
    cmdSafe_->setFocus();
}

void FrmDocType::keyPressEvent(QKeyEvent *event) {
    // Escape is the Cancel button; closing by the frame (reject) answers nothing.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cmdCancel_->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void FrmDocType::choose(bool cancelled, bool unsafe) {
    answered_ = true;
    Cancelled = cancelled;
    Unsafe = unsafe;
    done(cancelled ? QDialog::Rejected : QDialog::Accepted);
}

} // namespace zelp
