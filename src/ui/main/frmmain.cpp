#include "frmmain.h"

#include "hiddenbrowser.h"
#include "windowdialogs.h"
#include "windowplacement.h"

#include "ui/common/buttonpicture.h"
#include "ui/common/frmaboutbox.h"
#include "ui/common/twips.h"
#include "ui/help/helpservice.h"
#include "ui/help/helptopics.h"

#include "client/browser/webbrowser.h"
#include "client/document/hostedclient.h"
#include "common/errhndlr.h"
#include "convert/legacyopen.h"
#include "files/resources.h"
#include "host/caption.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QSettings>
#include <QTimer>
#include <QToolButton>

#include <limits>

namespace zelp {

namespace {

struct CommandRow {
    Command command;
    const char *button;
    int top; // twips
    const char *tooltip;
    int buttonHelp;
    const char *menuItem;
    const char *caption;
    const char *shortcut;
    int menuHelp;
    void (DesignerCommands::*run)();
};

// One row per command: its button in the column and its menu item.
const CommandRow kCommands[kCommandCount] = {
    {Command::New, "cmdNew", 120, "Create new connection", 301, "MNU_FileNew", "&New", "Ctrl+N",
     311, &DesignerCommands::New},
    {Command::Open, "cmdOpen", 891, "Open existing connection file", 302, "MNU_FileOpen", "&Open",
     "Ctrl+O", 312, &DesignerCommands::Open},
    {Command::Close, "cmdClose", 1662, "Close", 303, "MNU_FileClose", "&Close", "Ctrl+W", 313,
     &DesignerCommands::Close},
    {Command::Save, "cmdSave", 2433, "Save connection file", 304, "MNU_FileSave", "&Save", "Ctrl+S",
     314, &DesignerCommands::Save},
    {Command::Settings, "cmdSettings", 3204, "Settings", 305, "MNU_ToolsSettings", "&Settings",
     "F4", 321, &DesignerCommands::Settings},
    {Command::Script, "cmdScript", 3975, "Edit connection script", 306, "MNU_ToolsScript",
     "&Edit Script", "", 322, &DesignerCommands::Script},
    {Command::Connect, "cmdConnect", 4746, "Connect", 307, "MNU_ToolsConnect", "&Connect", "", 323,
     &DesignerCommands::Connect},
    {Command::Disconnect, "cmdDisconnect", 5520, "Disconnect", 308, "MNU_ToolsDisconnect",
     "&Disconnect", "", 324, &DesignerCommands::Disconnect},
};

constexpr int kButtonLeft = 100, kButtonWidth = 750, kButtonHeight = 600;
constexpr int kFrameLeft = 1000, kStripHeight = 240;

class BrowserAdapter : public HostBrowser {
public:
    explicit BrowserAdapter(WebBrowser &browser) : browser_(browser) {}
    void Navigate(const QString &url) override { browser_.Navigate(url); }
    void Stop() override { browser_.Stop(); }
    QObject *Document() const override { return browser_.Document(); }
    QString LocationURL() const override { return browser_.LocationURL(); }

private:
    WebBrowser &browser_;
};

} // namespace

// The client area: the tiled background and the frame lines around the preview.
class FrmMain::Client : public QWidget {
public:
    explicit Client(FrmMain *window) : QWidget(window), window_(window) {
        setObjectName(QStringLiteral("clientArea"));
        tile_.load(QStringLiteral(":/images/9002.png"));
    }
    QLine lines[4]; // Line1 to Line4, in pixels

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        if (!tile_.isNull()) {
            painter.drawTiledPixmap(rect(), tile_);
        }
        painter.setPen(QPen(palette().color(QPalette::Dark), 1));
        for (const QLine &line : lines) {
            painter.drawLine(line);
        }
    }
    void resizeEvent(QResizeEvent *) override { window_->layoutClient(); }

private:
    FrmMain *window_;
    QPixmap tile_;
};

FrmMain::FrmMain(QSettings *settings, std::unique_ptr<OneShotTimer> watchdog, QWidget *parent)
    : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmMain"));
    setProperty(Help::kContextProperty, 300);
    setWindowTitle(QStringLiteral("Velmaris 2000 Internet Edition"));
    setWindowIcon(QIcon(QStringLiteral(":/images/icon.png")));
    if (!settings) {
        ownSettings_ =
            std::make_unique<QSettings>(QStringLiteral("zelpdev2k"), QStringLiteral("zelpdev2k"));
        settings = ownSettings_.get();
    }
    settings_ = settings;

    client_ = new Client(this);
    setCentralWidget(client_);
    client_->setMinimumSize(Twips::toPixelsX(kMinClientWidth, *client_),
                            Twips::toPixelsY(kMinClientHeight, *client_));

    lbPreview_ = new QLabel(QStringLiteral("&Preview"), client_);
    lbPreview_->setObjectName(QStringLiteral("lbPreview"));
    lbPreview_->setAlignment(Qt::AlignCenter);
    lbPreview_->setAutoFillBackground(true);
    QPalette strip = lbPreview_->palette();
    strip.setColor(QPalette::Window, strip.color(QPalette::Active, QPalette::Highlight));
    strip.setColor(QPalette::WindowText, strip.color(QPalette::Active, QPalette::HighlightedText));
    lbPreview_->setPalette(strip);

    browser_ = new WebBrowser(client_);
    lbPreview_->setBuddy(browser_);
    browser_->setFocusPolicy(Qt::StrongFocus);
    registerClientDocuments();

    createButtons();
    createMenus();

    hostBrowser_ = std::make_unique<BrowserAdapter>(*browser_);
    ownDialogs_ = std::make_unique<WindowDialogs>(this, settingsComponent_);
    dialogs_ = ownDialogs_.get();
    cycle_ = std::make_unique<DocumentCycle>(
        *hostBrowser_, *this, watchdog ? std::move(watchdog) : std::make_unique<QtOneShotTimer>(),
        [] { return defaultScript(); });
    commands_ = std::make_unique<DesignerCommands>(*cycle_, *dialogs_);
    installOpenCheck();
    connect(browser_, &WebBrowser::NavigateComplete2, this, [this] {
        Guarded("main", "WebBrowser_NavigateComplete2").step([this] {
            cycle_->navigateComplete();
        });
    });
    connect(browser_, &WebBrowser::UnloadFailed, this,
            [this](const QString &path, const QString &reason) {
                Guarded("main", "WebBrowser_UnloadFailed").step([&] {
                    cycle_->saveFailed(path, reason);
                });
            });

    restorePlacement();
    HidePreview();
    cycle_->enterState(CommandState::NoDocument);
}

FrmMain::~FrmMain() = default;

void FrmMain::openFromCommandLine(const QString &path) {
    QTimer::singleShot(0, this, [this, path] {
        Guarded("main", "OpenFromCommandLine").step([&] { commands_->OpenFile(path); });
    });
}

void FrmMain::setDialogs(DesignerDialogs *dialogs) {
    dialogs_ = dialogs ? dialogs : ownDialogs_.get();
    commands_ = std::make_unique<DesignerCommands>(*cycle_, *dialogs_);
    installOpenCheck();
}

void FrmMain::installOpenCheck() {
    // A 97 file is converted in a hidden browser of its own before Open loads the result.
    commands_->setOpenCheck([](const QString &chosen) {
        return openLegacyCheck(chosen, [] { return std::make_unique<HiddenBrowser>(); });
    });
}

void FrmMain::createButtons() {
    QWidget *previous = nullptr;
    const int iconSide = Twips::toPixelsX(480, *client_); // 32 pixels at 96 dpi
    for (const CommandRow &row : kCommands) {
        auto *button = new QToolButton(client_);
        const QString name = QString::fromLatin1(row.button);
        button->setObjectName(name);
        button->setIcon(buttonPicture(name));
        button->setIconSize(QSize(iconSide, iconSide));
        button->setToolTip(QString::fromLatin1(row.tooltip));
        button->setAccessibleName(QString::fromLatin1(row.tooltip));
        button->setProperty(Help::kContextProperty, row.buttonHelp);
        button->setFocusPolicy(Qt::StrongFocus);
        button->setGeometry(
            Twips::toPixels(kButtonLeft, row.top, kButtonWidth, kButtonHeight, *client_));
        connect(button, &QToolButton::clicked, this, [this, &row] {
            Guarded("main", std::string(row.button) + "_Click").step([this, &row] {
                (commands_.get()->*row.run)();
            });
        });
        if (previous) {
            setTabOrder(previous, button);
        }
        previous = button;
        buttons_[size_t(row.command)] = button;
    }
}

void FrmMain::createMenus() {
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->menuAction()->setObjectName(QStringLiteral("MNU_File"));
    file->menuAction()->setProperty(Help::kContextProperty, 310);
    QMenu *tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    tools->menuAction()->setObjectName(QStringLiteral("MNU_Tools"));
    tools->menuAction()->setProperty(Help::kContextProperty, 320);
    for (const CommandRow &row : kCommands) {
        QMenu *menu =
            QString::fromLatin1(row.menuItem).startsWith(QLatin1String("MNU_File")) ? file : tools;
        QAction *item = menu->addAction(QString::fromLatin1(row.caption));
        item->setObjectName(QString::fromLatin1(row.menuItem));
        item->setProperty(Help::kContextProperty, row.menuHelp);
        if (*row.shortcut) {
            item->setShortcut(QKeySequence(QString::fromLatin1(row.shortcut)));
        }
        connect(item, &QAction::triggered, this, [this, &row] {
            Guarded("main", std::string(row.menuItem) + "_Click").step([this, &row] {
                (commands_.get()->*row.run)();
            });
        });
        menuItems_[size_t(row.command)] = item;
    }
    QAction *separator = file->addSeparator();
    separator->setObjectName(QStringLiteral("MNU_Sep1"));
    QAction *exit = file->addAction(QStringLiteral("E&xit"));
    exit->setObjectName(QStringLiteral("MNU_FileExit"));
    exit->setProperty(Help::kContextProperty, 315);
    connect(exit, &QAction::triggered, this, &FrmMain::exitByUser);

    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->menuAction()->setObjectName(QStringLiteral("MNU_Help"));
    QAction *contents = help->addAction(QStringLiteral("&Contents && Topics"));
    contents->setObjectName(QStringLiteral("MNU_HelpContents"));
    connect(contents, &QAction::triggered, this, [] { ShowHelpContents(); });
    QAction *about = help->addAction(QStringLiteral("&About Velmaris Internet Edition"));
    about->setObjectName(QStringLiteral("MNU_HelpAbout"));
    connect(about, &QAction::triggered, this, &FrmMain::showAboutBox);
}

void FrmMain::setCommandEnabled(Command command, bool button, bool menu) {
    buttons_[size_t(command)]->setEnabled(button);
    menuItems_[size_t(command)]->setEnabled(menu);
}

bool FrmMain::previewShowing() const {
    return !lbPreview_->isHidden();
}

void FrmMain::layoutClient() {
    QuietErrors quiet;
    const int w = client_->width(), h = client_->height();
    const int frameLeft = Twips::toPixelsX(kFrameLeft, *client_);
    quiet.step([&] {
        client_->lines[0] = QLine(frameLeft, 0, frameLeft, h - 1);
        client_->lines[1] = QLine(0, 0, w - 1, 0);
        client_->lines[2] = QLine(w - 1, 0, w - 1, h - 1);
        client_->lines[3] = QLine(frameLeft, h - 1, w, h - 1);
    });
    if (previewShowing()) {
        quiet.step([&] { ShowPreview(); });
    }
    client_->update();
}

void FrmMain::ShowPreview() {
    const int frameLeft = Twips::toPixelsX(kFrameLeft, *client_);
    const int right = client_->width() - 1;   // end x of Line2
    const int bottom = client_->height() - 1; // end y of Line1
    const int strip = Twips::toPixelsY(kStripHeight, *client_);
    lbPreview_->setGeometry(frameLeft, 0, right - frameLeft, strip);
    browser_->setGeometry(frameLeft + 1, strip, right - frameLeft - 1, bottom - strip);
    lbPreview_->show();
}

void FrmMain::HidePreview() {
    lbPreview_->hide();
    browser_->move(-frameGeometry().width(), browser_->y());
}

void FrmMain::UpdateCaption() {
    setWindowTitle(captionFor(cycle_->currentFile, cycle_->safeClient));
}

void FrmMain::restorePlacement() {
    constexpr int kMissing = std::numeric_limits<int>::min();
    const WindowPlacement p = Placement::read(*settings_, kMissing, kMissing);
    move(Twips::toPixelsX(p.left, *this), Twips::toPixelsY(p.top, *this));
    restoredOuter_ = QSize(p.width == kMissing ? -1 : Twips::toPixelsX(p.width, *this),
                           p.height == kMissing ? -1 : Twips::toPixelsY(p.height, *this));
    applyOuterSize();
}

void FrmMain::applyOuterSize() {
    // The remembered size is the outer one; the frame is known only once the window system
    // has framed the window, so this runs again then.
    const QSize frame = frameGeometry().size() - size();
    frameKnown_ = frame.width() > 0 || frame.height() > 0;
    const int width = restoredOuter_.width() < 0 ? Twips::toPixelsX(kDesignClientWidth, *this)
                                                 : restoredOuter_.width() - frame.width();
    const int height = restoredOuter_.height() < 0 ? Twips::toPixelsY(kDesignClientHeight, *this) +
                                                         menuBar()->sizeHint().height()
                                                   : restoredOuter_.height() - frame.height();
    resize(width, height);
}

bool FrmMain::event(QEvent *event) {
    const QEvent::Type type = event->type();
    if (!frameKnown_ && (type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize) &&
        isVisible() && !isMaximized() && !isMinimized() && frameGeometry().size() != size()) {
        QuietErrors quiet;
        quiet.step([this] { applyOuterSize(); });
    }
    return QMainWindow::event(event);
}

void FrmMain::storePlacement() {
    if (isMinimized()) {
        return;
    }
    const QRect outer = frameGeometry();
    WindowPlacement p;
    p.left = int(std::lround(Twips::fromPixelsX(outer.x(), *this)));
    p.top = int(std::lround(Twips::fromPixelsY(outer.y(), *this)));
    p.width = int(std::lround(Twips::fromPixelsX(outer.width(), *this)));
    p.height = int(std::lround(Twips::fromPixelsY(outer.height(), *this)));
    Placement::write(*settings_, p);
}

void FrmMain::exitByUser() {
    closeReason_ = kCloseByUser;
    close();
    closeReason_ = 1;
}

void FrmMain::endSession(int16_t reason) {
    endSession(reason, 10);
}

void FrmMain::endSession(int16_t reason, int modalTries) {
    // A command waiting in a modal dialog would go on after its window has gone: close the
    // dialog first and come back once the command has returned.
    if (QWidget *modal = QApplication::activeModalWidget();
        modal && modal != this && modalTries > 0) {
        modal->close();
        QTimer::singleShot(10, this,
                           [this, reason, modalTries] { endSession(reason, modalTries - 1); });
        return;
    }
    closeReason_ = reason;
    close();
    closeReason_ = 1;
}

void FrmMain::closeEvent(QCloseEvent *event) {
    const int16_t reason = event->spontaneous() ? kCloseByUser : closeReason_;
    bool keepOpen = false;
    Guarded("main", "Form_QueryUnload").step([&] { keepOpen = commands_->queryClose(reason); });
    if (keepOpen) {
        event->ignore();
        return;
    }
    browser_->Stop();
    storePlacement();
    event->accept();
}

void FrmMain::showAboutBox() {
    FrmAboutBox box(this);
    box.exec();
}

} // namespace zelp
