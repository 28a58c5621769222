#include "frmerrhndlr.h"

#include "twips.h"

#include "ui/help/helptopics.h"
#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextOption>

#include <cmath>

namespace zelp {

namespace {

const char *const kProgramTitle = "DUDiriDur";
constexpr int kTabStopUnits[] = {88, 176, 264};

} // namespace

int dialogUnitsToPixels(int units, const QFont &font) {
    const QFontMetrics fm(font);
    const int alphabet = fm.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const int baseUnit = (alphabet / 26 + 1) / 2; // the average character width, rounded
    return static_cast<int>(std::lround(units * baseUnit / 4.0));
}

QString FrmErrHndlr::caption() {
    return QString::fromLatin1(kProgramTitle) + QStringLiteral(" unanticipated error");
}

FrmErrHndlr::FrmErrHndlr(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmErrHndlr"));
    setProperty(Help::kContextProperty, 460);
    setWindowTitle(caption());
    setModal(true);

    frame3D1_ = new QGroupBox(QStringLiteral("Error details"), this);
    frame3D1_->setObjectName(QStringLiteral("Frame3D1"));
    frame3D1_->setGeometry(Twips::toPixels(120, 240, 5172, 2772, *this));

    txDetails_ = new QPlainTextEdit(frame3D1_);
    txDetails_->setObjectName(QStringLiteral("txDetails"));
    txDetails_->setReadOnly(true);
    txDetails_->setTabChangesFocus(true);
    txDetails_->setLineWrapMode(QPlainTextEdit::NoWrap);
    txDetails_->setGeometry(Twips::toPixels(120, 240, 4932, 2412, *this));

    auto makeButton = [this](const char *name, const char *text, double left, int16_t choice) {
        auto *button = new QPushButton(QString::fromLatin1(text), this);
        button->setObjectName(QLatin1String(name));
        button->setGeometry(Twips::toPixels(left, 3240, 1200, 330, *this));
        connect(button, &QPushButton::clicked, this, [this, choice] { this->choose(choice); });
        return button;
    };
    cmdEnd_ = makeButton("cmdEnd", "&Fail", 3720, ChoiceFail);
    cmdResume_ = makeButton("cmdResume", "&Retry", 2160, ChoiceRetry);
    cmdResumeNext_ = makeButton("cmdResumeNext", "&Ignore", 600, ChoiceIgnore);
    cmdEnd_->setDefault(true);

    lblReturn_ = new QLabel(QStringLiteral("lblReturn"), this);
    lblReturn_->setObjectName(QStringLiteral("lblReturn"));
    lblReturn_->hide();

    setTabOrder(cmdEnd_, cmdResume_);
    setTabOrder(cmdResume_, cmdResumeNext_);
    setTabOrder(cmdResumeNext_, txDetails_);
    cmdEnd_->setFocus();

    for (QWidget *child : findChildren<QWidget *>()) {
        child->installEventFilter(this);
    }
    setFixedSize(Twips::toPixelsX(5445, *this), Twips::toPixelsY(3705, *this));
    setTabStops();
}

void FrmErrHndlr::setReport(const QString &report) {
    QString text = report;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (text.endsWith(QLatin1Char('\n'))) {
        text.chop(1);
    }
    txDetails_->setPlainText(text);
}

int16_t FrmErrHndlr::choice() const {
    bool ok = false;
    const int value = lblReturn_->text().trimmed().toInt(&ok);
    return ok ? static_cast<int16_t>(value) : int16_t{ChoiceFail};
}

QList<qreal> FrmErrHndlr::tabStops() const {
    QList<qreal> stops;
    for (const QTextOption::Tab &tab : txDetails_->document()->defaultTextOption().tabs()) {
        stops.append(tab.position);
    }
    return stops;
}

void FrmErrHndlr::setTabStops() {
    QTextOption option = txDetails_->document()->defaultTextOption();
    QList<QTextOption::Tab> tabs;
    for (const int units : kTabStopUnits) {
        tabs.append(
            QTextOption::Tab(dialogUnitsToPixels(units, txDetails_->font()), QTextOption::LeftTab));
    }
    option.setTabs(tabs);
    txDetails_->document()->setDefaultTextOption(option);
}

void FrmErrHndlr::resizeEvent(QResizeEvent *event) {
    QDialog::resizeEvent(event);
    setTabStops();
}

void FrmErrHndlr::choose(int16_t choice) {
    lblReturn_->setText(QString::number(choice));
    hide(); // ends the modal display
}

bool FrmErrHndlr::chooseByKey(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape) {
        cmdResume_->click();
        return true;
    }
    const QString text = event->text();
    if (text.size() != 1) {
        return false;
    }
    switch (text.at(0).toLatin1()) {
    case 'F':
    case 'f':
        cmdEnd_->click();
        return true;
    case 'R':
    case 'r':
        cmdResume_->click();
        return true;
    case 'I':
    case 'i':
        cmdResumeNext_->click();
        return true;
    default:
        return false;
    }
}

bool FrmErrHndlr::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyPress && isVisible() &&
        chooseByKey(static_cast<QKeyEvent *>(event))) {
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void FrmErrHndlr::keyPressEvent(QKeyEvent *event) {
    if (!chooseByKey(event)) {
        QDialog::keyPressEvent(event);
    }
}

QString WidgetErrorDialog::fallbackTitle() {
    return QString::fromLatin1(kProgramTitle) + QStringLiteral(" - unanticipated error");
}

std::optional<int16_t> WidgetErrorDialog::choose(const std::string &report) {
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
        return std::nullopt; // no window can be made
    }
    FrmErrHndlr dialog;
    dialog.setReport(QString::fromStdString(report));
    dialog.exec();
    return dialog.choice();
}

void WidgetErrorDialog::showFallback(const std::string &report) {
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
        return;
    }
    QMessageBox box(QMessageBox::Critical, fallbackTitle(), QString::fromStdString(report),
                    QMessageBox::Ok | QMessageBox::Cancel);
    box.setObjectName(QStringLiteral("errorFallback"));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace zelp
