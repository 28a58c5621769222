#include "common/aboutboxlayout.h"
#include "common/appinfo.h"
#include "common/debuglog.h"
#include "common/errhndlr.h"
#include "common/fileutil.h"
#include "common/mousepointer.h"
#include "common/msgboxlayout.h"
#include "common/replacebatch.h"
#include "common/strfunc.h"
#include "common/workfolders.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zelp::test {
namespace {

QByteArray read(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

TEST(PathParts, FolderAndFileName) {
    workFolders().startup = QStringLiteral("/start/");
    // path, its folder, its file name with and without the extension
    const std::array<QString, 4> cases[] = {{"/dir/conn.ats", "/dir/", "conn.ats", "conn"},
                                            {"conn.ats", "/start/", "conn.ats", "conn"},
                                            {"", "/start/", "", ""},
                                            {"/x/", "/x/", "", ""},
                                            {"conn", "/start/", "conn", "conn"},
                                            {".ats", "/start/", ".ats", ""},
                                            {"/dir/a.b.ats", "/dir/", "a.b.ats", "a.b"},
                                            {"/d.ir/file", "/d.ir/", "file", "file"},
                                            {"/", "/", "", ""},
                                            {"b\\s.ats", "/start/", "b\\s.ats", "b\\s"}};
    for (const auto &c : cases) {
        EXPECT_EQ(
            (std::array{c[0], FolderOf(c[0]), FileNameOf(c[0], true), FileNameOf(c[0], false)}), c);
    }
}

TEST(Files, ReadWriteAndMoveOnlyRegularFiles) {
    QTemporaryDir dir;
    const QString target = writeFile(dir.filePath("target"), QByteArray(1000, 'x'));
    const QString pipe = dir.filePath("pipe"), link = dir.filePath("link");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(target, link));
    EXPECT_TRUE(WriteWholeFile(target, QByteArray("a\0b\r\n", 5)));
    EXPECT_EQ(ReadWholeFile(target), QByteArray("a\0b\r\n", 5));
    EXPECT_TRUE(WriteWholeFile(target, {}));
    EXPECT_EQ(read(target), QByteArray());
    EXPECT_TRUE(WriteWholeFile(link, "through"));
    EXPECT_EQ(read(target), "through");
    EXPECT_TRUE(QFileInfo(link).isSymLink()) << "the link stays a link";
    // A chain of links is followed to its end, by a write and by a move alike.
    const QString chain = dir.filePath("chain");
    ASSERT_TRUE(QFile::link(QStringLiteral("link"), chain));
    EXPECT_TRUE(WriteWholeFile(chain, "chained"));
    EXPECT_TRUE(MoveFileOver(writeFile(dir.filePath("moved"), "moved"), chain));
    EXPECT_EQ(read(target), "moved");
    EXPECT_TRUE(QFileInfo(chain).isSymLink() && QFileInfo(link).isSymLink());
    EXPECT_TRUE(FileExists(target) && FileExists(dir.path()));
    EXPECT_FALSE(FileExists(dir.filePath("missing")) || FileExists(QString()));
    for (const QString &path : {dir.filePath("missing"), dir.path(), pipe, QString()}) {
        EXPECT_TRUE(ReadWholeFile(path).isEmpty()) << qPrintable(path); // a pipe returns at once
    }
    for (const QString &path : {dir.path(), dir.filePath("no/folder/f"), QString(), pipe,
                                target + QStringLiteral("/under"), QStringLiteral("/dev/null")}) {
        EXPECT_FALSE(WriteWholeFile(path, "x")) << qPrintable(path);
    }
    EXPECT_FALSE(QFileInfo(QStringLiteral("/dev/null")).isFile()) << "device left alone";
    // A move or a write replaces the target, keeping its mode; a failed move keeps the source.
    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0604), 0);
    const QString src = writeFile(dir.filePath("src"), "new");
    EXPECT_TRUE(MoveFileOver(src, target));
    EXPECT_EQ(read(target), "new");
    EXPECT_FALSE(QFile::exists(src));
    EXPECT_FALSE(MoveFileOver(src, target));
    EXPECT_TRUE(WriteWholeFile(target, "v2"));
    struct stat st {};
    EXPECT_TRUE(::stat(QFile::encodeName(target).constData(), &st) == 0 &&
                (st.st_mode & 07777) == 0604);
    ASSERT_TRUE(QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup));
    QString error;
    EXPECT_FALSE(WriteWholeFile(target, "new", &error));
    EXPECT_EQ(error, QStringLiteral("the file is read-only"));
    const QString again = writeFile(dir.filePath("again"), "again");
    for (const QString &to : {dir.filePath("no/folder/x"), pipe, target}) {
        EXPECT_FALSE(MoveFileOver(again, to)) << qPrintable(to);
    }
    EXPECT_EQ(read(target), "v2");
    EXPECT_EQ(read(again), "again");
    // One rule for write protection: what the writers refuse is what the question asks about.
    EXPECT_TRUE(IsReadOnly(target));
    ASSERT_TRUE(MakeWritable(target));
    EXPECT_FALSE(IsReadOnly(target));
    EXPECT_TRUE(WriteWholeFile(target, "v3"));
    ASSERT_TRUE(
        QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup | QFile::WriteGroup));
    EXPECT_FALSE(IsReadOnly(target)) << "someone may write it";
}

// Staged replaces land only at commit, each whole; a file changed meanwhile by another writer
// fails instead of losing that change; what was never committed leaves nothing behind.
TEST(Files, ABatchReplacesAtCommitAndNeverOverAnotherWritersChange) {
    QTemporaryDir dir;
    const QString a = writeFile(dir.filePath("a"), "old a");
    const QString b = writeFile(dir.filePath("b"), "old b");
    {
        ReplaceBatch batch;
        batch.watch(a);
        batch.watch(b);
        EXPECT_TRUE(WriteWholeFile(a, "new a"));
        EXPECT_TRUE(WriteWholeFile(b, "new b"));
        EXPECT_EQ(read(a), "old a") << "not before the commit";
        writeFile(b, "another writer's b");
        const auto outcomes = batch.commit();
        ASSERT_EQ(outcomes.size(), 2u);
        EXPECT_TRUE(outcomes[0].ok);
        EXPECT_FALSE(outcomes[1].ok);
        EXPECT_TRUE(outcomes[1].error.contains("another program changed it"));
        EXPECT_EQ(read(a), "new a");
        EXPECT_EQ(read(b), "another writer's b");
        EXPECT_TRUE(WriteWholeFile(a, "never committed"));
    }
    EXPECT_EQ(read(a), "new a");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"a", "b"}));
}

TEST(WorkFiles, CounterRunsAcrossCallsAndWraps) {
    QTemporaryDir dir;
    const auto work = [&](int n) { return dir.filePath(QStringLiteral("Work%1.ats").arg(n)); };
    writeFile(work(1), "x");
    setWorkFileCounter(0);
    EXPECT_EQ(NewWorkFileName(dir.path()), work(2));
    // Each name given out is taken at once, so that no other program can get it.
    EXPECT_TRUE(QFileInfo::exists(work(2)));
    EXPECT_EQ(NewWorkFileName(dir.path() + QLatin1Char('/')), work(3));
    writeFile(work(4), "x");
    writeFile(work(5), "x");
    EXPECT_EQ(NewWorkFileName(dir.path()), work(6));
    EXPECT_EQ(workFileCounter(), 6);
    setWorkFileCounter(998);
    EXPECT_EQ(NewWorkFileName(dir.path()), work(999));
    EXPECT_EQ(workFileCounter(), 0);
    EXPECT_EQ(NewWorkFileName(dir.path()), work(7)) << "wraps to 1; up to 6 all taken";
    setWorkFileCounter(17);
    EXPECT_EQ(NewWorkFileName(dir.filePath("absent")), QString());
    EXPECT_EQ(workFileCounter(), 17) << "999 tries bring the counter round once";
}

// Runs write in a child whose files may grow to 8192 bytes (SIGXFSZ ignored: EFBIG as on a full
// disk), as uid unless -1. 0: written, 1: failed as too large, 2: failed else, -1: no exit.
int inChild(uid_t uid, const std::function<bool(QString *)> &write) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit rl{8192, 8192};
        if (!(uid == uid_t(-1) || (::setgid(gid_t(uid)) == 0 && ::setuid(uid) == 0)) ||
            ::setrlimit(RLIMIT_FSIZE, &rl) != 0) {
            ::_exit(99);
        }
        QString error;
        ::_exit(write(&error) ? 0 : error == QStringLiteral("File too large") ? 1 : 2);
    }
    int status = 0;
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) ? WEXITSTATUS(status)
                                                                             : -1;
}

TEST(FileFaults, AWriteThatCannotFinishLeavesTheTargetAsItWas) {
    QTemporaryDir dir;
    const QByteArray old(3000, 'o'), big(20000, 'n');
    const QString target = dir.filePath(QStringLiteral("target"));
    // On another file system than the temporary folder a move copies; on the same it renames.
    const QString source = QStringLiteral("/dev/shm/zelp-move-%1").arg(::getpid());
    for (const auto &[move, existing] :
         {std::pair{false, true}, {false, false}, {true, true}, {true, false}}) {
        SCOPED_TRACE(testing::Message() << "move " << move << ", over a file " << existing);
        QFile::remove(target);
        if (existing) {
            writeFile(target, old);
        }
        if (move && !QFileInfo(source).dir().exists()) {
            continue;
        }
        writeFile(source, big);
        const int code = inChild(uid_t(-1), [&](QString *e) {
            return move ? MoveFileOver(source, target, e) : WriteWholeFile(target, big, e);
        });
        if (move && code == 0 && !QFile::exists(source)) {
            continue; // renamed within one file system
        }
        EXPECT_EQ(code, 1);
        EXPECT_EQ(read(target), existing ? old : QByteArray("<missing>"));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
                  existing ? QStringList{QStringLiteral("target")} : QStringList())
            << "no fresh file is left behind";
    }
    QFile::remove(source);
}

TEST(FileFaults, AFolderWithoutRoomForANewFileIsWrittenInPlaceAndNeverCut) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to hand the folder to another user";
    }
    QTemporaryDir dir;
    const QString folder = dir.filePath("locked");
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString file = writeFile(folder + QStringLiteral("/conn.ats"), QByteArray(3000, 'o'));
    for (const auto &[path, mode] : {std::pair{file, 0666}, {folder, 0755}, {dir.path(), 0755}}) {
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
    }
    for (const auto &[size, expected] : {std::pair{200, 0}, {20000, 1}}) {
        const QByteArray content(size, 'n');
        EXPECT_EQ(inChild(65534, [&](QString *e) { return WriteWholeFile(file, content, e); }),
                  expected);
        EXPECT_EQ(read(file), QByteArray(200, 'n')) << "written, or left as it was";
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }
}

const QDateTime kWhen(QDate(2026, 12, 6), QTime(15, 4, 5));

class ErrorHandlerTest : public ::testing::Test {
protected:
    ErrorHandlerTest() {
        ErrHndlr::setClock([] { return kWhen; });
    }
    ~ErrorHandlerTest() override { ErrHndlr::setClock({}); }
    ServiceScope scope;
    std::string stamp() const { return ErrHndlr::generalDateTime(kWhen).toStdString(); }
};

void raiseIn(const char *module, const char *procedure, int number, const char *text) {
    Guarded guard(module, procedure);
    guard.step([&] { raiseError(number, text); });
}

TEST_F(ErrorHandlerTest, ReportLines) {
    const std::pair<ErrorInfo, std::string> cases[] = {
        {{53, "ZELPDEV2K", "File not found", 0}, "\r\nError:\t53\r\nDescription:\tFile not found"},
        {{13, "gsf", "Type", 40}, " line 40\r\nError:\t13\r\nDescription:\tType\r\nSource:\tgsf"},
        {{-1, "zelpdev2k", "Automation", 0}, "\r\nError:\t0xFFFFFFFF\r\nDescription:\tAutomation"},
        {{0, "zelpdev2k", "", 0}, "\r\nError:\t0\r\nDescription:\t"},
        {{INT32_MIN, "zelpdev2k", "x", 0}, "\r\nError:\t0x80000000\r\nDescription:\tx"},
    };
    for (const auto &[error, afterProcedure] : cases) {
        EXPECT_EQ(ErrHndlr::buildReport(error, "zelpdev", "GetIniDir"),
                  "Procedure:\tGetIniDir (zelpdev)" + afterProcedure + "\r\n");
    }
}

TEST_F(ErrorHandlerTest, EachChoiceIsLoggedAndActedOn) {
    const struct {
        int16_t choice;
        const char *word;
        int runs;         // of the failing statement
        bool next, threw; // the next statement ran; the caller got the error
    } cases[] = {
        {ChoiceIgnore, "Ignore", 1, true, false},
        {ChoiceRetry, "Retry", 2, true, false},
        {ChoiceFail, "Fail", 1, false, true},
    };
    const std::string report = "Procedure:\tcmdNew_Click (main) line 12\r\nError:\t53\r\n"
                               "Description:\tFile not found\r\n";
    for (const auto &[choice, word, runs, after, threw] : cases) {
        ServiceScope local;
        local.errors.answers = {choice};
        int ran = 0;
        bool next = false, caught = false;
        try {
            Guarded guard("main", "cmdNew_Click");
            guard.step([&] { ++ran == 1 ? raiseError(53, "File not found") : void(); }, 12);
            next = true;
        } catch (const RuntimeError &e) {
            caught = e.number() == ErrNum::FileNotFound && e.description() == "File not found";
        }
        EXPECT_EQ(std::tuple(ran, next, caught), std::tuple(runs, after, threw)) << word;
        EXPECT_EQ(local.errors.reports, std::vector<std::string>{report});
        EXPECT_EQ(local.log().toStdString(),
                  "\r\n" + stamp() + "\r\n" + report + "Action:\t" + word + "\r\n");
        EXPECT_EQ(ErrHndlr::logOnly(), choice == ChoiceFail);
    }
}

TEST_F(ErrorHandlerTest, AfterFailEveryProcedureAndLaterErrorIsOnlyTraced) {
    scope.errors.answers = {ChoiceFail};
    const auto outer = [] {
        Guarded guard("zelpdev", "MessageBox");
        guard.step([] { raiseIn("strfunc", "Field", ErrNum::Overflow, "Overflow"); });
    };
    EXPECT_THROW(outer(), RuntimeError);
    const QString first = scope.log();
    EXPECT_TRUE(first.endsWith(u"Action:\tFail\r\nProcedure:\tMessageBox (zelpdev)\r\n\r\n"));
    try {
        raiseIn("aboutbox", "Form_Load", ErrNum::FileNotFound, "File not found");
        ADD_FAILURE() << "Fail must travel to the caller";
    } catch (const RuntimeError &e) {
        EXPECT_EQ(e.number(), ErrNum::Overflow) << "the recorded error of the first Fail";
    }
    EXPECT_EQ(scope.errors.reports.size(), 1u) << "only the first error asks";
    EXPECT_EQ(scope.log().mid(first.size()), u"Procedure:\tForm_Load (aboutbox)\r\n\r\n");
}

TEST_F(ErrorHandlerTest, QuietScopesRecordSilentlyAndUnwindOnEveryWayOut) {
    {
        QuietErrors quiet;
        EXPECT_FALSE(quiet.step(
            [] { raiseIn("strfunc", "Dcount", ErrNum::TypeMismatch, "Type mismatch"); }));
        EXPECT_TRUE(quiet.step([] {})) << "the next step runs";
    }
    EXPECT_TRUE(scope.errors.reports.empty());
    EXPECT_TRUE(scope.log().isEmpty());
    EXPECT_EQ(ErrHndlr::recordedError().number, ErrNum::TypeMismatch);
    EXPECT_FALSE(ErrHndlr::logOnly());
    try {
        QuietErrors quiet, nested;
        EXPECT_EQ(ErrHndlr::quietDepth(), 2);
        throw std::runtime_error("leaves the scope");
    } catch (const std::exception &) {
    }
    EXPECT_EQ(ErrHndlr::quietDepth(), 0);
}

TEST_F(ErrorHandlerTest, ForeignExceptionsNoDialogAndNoLogStillGiveAChoice) {
    scope.errors.answers = {ChoiceIgnore, ChoiceIgnore, std::nullopt};
    Guarded guard("zelpdev", "GetIniDir");
    EXPECT_EQ(guard.value([]() -> int { throw std::bad_alloc(); }, -1), -1);
    guard.step([] { throw std::logic_error("broken"); });
    ASSERT_EQ(scope.errors.reports.size(), 2u);
    EXPECT_NE(scope.errors.reports[0].find("Error:\t7\r\n"), std::string::npos);
    EXPECT_NE(scope.errors.reports[1].find("Description:\tbroken\r\n"), std::string::npos);
    const QString before = scope.log();
    const ErrorInfo error{ErrNum::OutOfMemory, "zelpdev2k", "Out of memory", 0};
    EXPECT_EQ(ErrorHandler(error, "msgbox", "ShowMessage"), ChoiceFail) << "no dialog";
    const std::string report =
        "Procedure:\tShowMessage (msgbox)\r\nError:\t7\r\nDescription:\tOut of memory\r\n";
    EXPECT_EQ(scope.errors.fallbacks, std::vector<std::string>{report});
    EXPECT_EQ(scope.log().mid(before.size()).toStdString(),
              "\r\n" + stamp() + "\r\n" + report + "\r\nunrecoverable\r\n");
    EXPECT_TRUE(ErrHndlr::logOnly());
    EXPECT_EQ(ErrHndlr::recordedError().number, ErrNum::OutOfMemory);
    ServiceScope fresh;
    workFolders().program = QStringLiteral("/proc/");
    qputenv("XDG_STATE_HOME", "/proc/no-such-state");
    fresh.errors.answers = {ChoiceIgnore};
    EXPECT_EQ(ErrorHandler(error, "zelpdev", "GetIniDir"), ChoiceIgnore) << "no log";
    EXPECT_THROW(DebugLog("x"), RuntimeError);
    qunsetenv("XDG_STATE_HOME");
}

TEST(DebugLog, AFullLogMovesAsideSoThatTheLogStaysSmall) {
    ServiceScope scope;
    DebugLog(std::string(kLogRotateBytes, 'a'));
    DebugLog("after");
    EXPECT_EQ(scope.log(), QStringLiteral("after\r\n"));
    EXPECT_EQ(QFileInfo(debugLogPath() + ".1").size(), kLogRotateBytes + 2);
}

using namespace Msg;
using enum Button;
using Figures = std::vector<double>;

// A screen of 1280 x 960 pixels at 15 twips per pixel and a font of charWidth twips a character.
Metrics metrics(double charWidth = 100) {
    const auto width = [charWidth](const QString &s) { return charWidth * s.size(); };
    return {19200, 14400, width, 195, {}, {}, 0};
}

TEST(MessageBoxLayout, SizesTheWindowToTheText) {
    const QString tall = QStringLiteral("x\n").repeated(50) + QLatin1Char('x');
    // text, style, character width; rows, text width and height, window width and height
    const std::tuple<QString, int16_t, double, Figures> cases[] = {
        {QString(), 0, 100, {0, 500, 200, 1520, 1550}},
        {QString(), 3, 100, {0, 500, 200, 2880, 1550}}, // raised to the Yes/No/Cancel minimum
        {QStringLiteral("Hello"), 49, 100, {1, 500, 200, 1520, 1550}},
        {QStringLiteral("abcdefg"), 4, 99.95, {1, 700, 200, 2160, 1550}}, // to the nearest twip
        {QStringLiteral("first line\nsecond line here"), 48, 100, {2, 1600, 390, 2620, 1630}},
        {QStringLiteral("abcdefghij\r\nab"), 0, 100, {2, 1100, 390, 2120, 1630}},
        {QString(150, QLatin1Char('w')), 0, 100, {2, 9600, 390, 10620, 1630}}, // wraps
        {QString(96, QLatin1Char('w')), 0, 100, {2, 9600, 390, 10620, 1630}},  // half the screen
        {tall, 0, 100, {51, 500, 7200, 1520, 8440}}, // cut at half the screen's height
        {QStringLiteral("abc"), 256 + 7, 100, {1, 500, 200, 4000, 2060}}, // check box
    };
    for (const auto &[text, style, charWidth, expected] : cases) {
        const Layout l = layoutMessage(text, style, metrics(charWidth));
        EXPECT_EQ(Figures({double(l.rows), l.textWidth, l.textHeight, l.width, l.height}),
                  expected);
    }
}

TEST(MessageBoxLayout, CentresTheButtonsAtTheBottom) {
    // style; buttons, their lefts, their top, the check box's top (0: none)
    const std::tuple<int16_t, std::vector<Button>, Figures, double, double> cases[] = {
        {49, {OK}, {435}, 750, 0},
        {15, {OK}, {435}, 750, 0},
        {35, {Yes, No, Cancel}, {265, 1115, 1965}, 750, 0},
        {4, {Yes, No}, {330, 1180}, 750, 0},
        {5, {Retry, Cancel}, {330, 1180}, 750, 0},
        {6, {Yes, All, No}, {86, 936, 2144}, 750, 0},
        {7 + 256, {Yes, All, No, Cancel}, {221, 1071, 2279, 3129}, 1260, 877.5},
        {35 + 256, {Yes, No, Cancel}, {825, 1675, 2525}, 1260, 877.5},
    };
    for (const auto &[style, buttons, lefts, top, checkBoxTop] : cases) {
        const Layout l = layoutMessage(QStringLiteral("abc"), style, metrics());
        std::vector<Button> shown;
        Figures shownLefts;
        for (const PlacedButton &b : l.buttons) {
            shown.push_back(b.button);
            shownLefts.push_back(b.left);
            EXPECT_EQ(b.top, top);
        }
        EXPECT_EQ(shown, buttons);
        EXPECT_EQ(shownLefts, lefts);
        EXPECT_EQ(l.checkBoxVisible, checkBoxTop != 0);
        EXPECT_TRUE(!l.checkBoxVisible || (l.checkBoxTop == checkBoxTop && l.checkBoxLeft == 240));
    }
}

TEST(MessageBoxLayout, MeasuredControlsGrowButNeverShrink) {
    // style, wrapped rows, Cancel's and the check box's measured widths; rows, text height,
    // window width, Cancel's left and width, the check box's width
    const std::tuple<int16_t, int, double, double, Figures> cases[] = {
        {7, 3, 0, 0, {3, 585, 3600, 2929, 650, 3500}},          // wrapping needs more rows
        {7, 0, 0, 0, {1, 200, 3600, 2929, 650, 3500}},          // fewer wrapped rows keep the count
        {7, 0, 799.5, 0, {1, 200, 3750, 2929, 800, 3500}},      // a wider Cancel widens the window
        {3 + 256, 0, 0, 4000, {1, 200, 4500, 2775, 650, 4000}}, // a wider check box caption
    };
    for (const auto &[style, wrapped, cancelWidth, checkBoxWidth, expected] : cases) {
        Metrics m = metrics();
        m.wrappedRows = [&](const QString &, double) { return wrapped; };
        m.buttonWidth = [&](const QString &c) { return c == u"&Cancel" ? cancelWidth : 10.0; };
        m.checkBoxWidth = checkBoxWidth;
        const Layout l = layoutMessage(QStringLiteral("abc"), style, m);
        const PlacedButton &cancel = l.buttons.back();
        ASSERT_EQ(cancel.button, Cancel);
        EXPECT_EQ(Figures({double(l.rows), l.textHeight, l.width, cancel.left, cancel.width,
                           l.checkBoxWidth}),
                  expected);
    }
}

TEST(MessageBoxStyle, IconBeepAndPointer) {
    const std::tuple<int16_t, Icon, int> styles[] = {
        {0, Icon::Information, 0},  {16, Icon::Information, 0},  {32, Icon::Question, 32},
        {35, Icon::Question, 32},   {48, Icon::Exclamation, 48}, {49, Icon::Exclamation, 48},
        {64, Icon::Information, 0}, {4, Icon::Information, 0},   {256 + 48, Icon::Exclamation, 48},
    };
    for (const auto &[style, shown, beep] : styles) {
        EXPECT_EQ(icon(style), shown) << style;
        EXPECT_EQ(beepCode(style), beep) << style;
    }
    // The window of 266 x 137 whole pixels with its frame and caption; right and bottom outside.
    const HoverRect r = hoverRect(4000, 2060, 15, 15, FrameMetrics{3, 3, 18});
    EXPECT_EQ(std::tuple(r.left, r.top, r.right, r.bottom), std::tuple(-3, -21, 269, 140));
    const std::tuple<int, int, int16_t> points[] = {
        {-3, -21, MousePointer::Default},   {268, 139, MousePointer::Default},
        {269, 50, MousePointer::Hourglass}, {50, 140, MousePointer::Hourglass},
        {-4, 50, MousePointer::Hourglass},  {50, -22, MousePointer::Hourglass},
        {100, 60, MousePointer::Default},
    };
    for (const auto &[x, y, pointer] : points) {
        EXPECT_EQ(watchedPointer(r, x, y, MousePointer::Hourglass), pointer) << x << "," << y;
    }
}

TEST(AboutBoxLayout, FollowsTheBannerSize) {
    // bitmap width and height; frame top, client width and height
    const std::tuple<double, double, Figures> cases[] = {
        {3930, 1230, {1440, 5040, 5520}}, // 262 x 82 pixels at 15 twips per pixel
        {3144, 984, {1194, 5040, 5274}},  // the same at 120 dpi
        {3855, 1110, {1320, 5040, 5400}}, // the design size changes nothing
        {4800, 1110, {1320, 5040, 5400}}, // exactly fills the width
        {4950.4, 600, {810, 5190, 4890}}, // wider than the client area minus the margins
    };
    for (const auto &[width, height, expected] : cases) {
        const About::Layout l = About::layoutAboutBox(width, height);
        EXPECT_EQ(Figures({l.imageLeft, l.imageTop, l.imageWidth, l.imageHeight}),
                  Figures({120, 120, width, height}));
        EXPECT_EQ(Figures({l.frameTop, l.clientWidth, l.clientHeight}), expected) << width;
    }
    EXPECT_EQ(AppInfo::releaseText("2000", 4, 0, 132), " Release 2000 (4.0.132) ");
    EXPECT_EQ(AppInfo::releaseText("", 10, 2, 7), " Release  (10.2.7) ");
}

TEST(CtrlToArrow, NotationAtEveryBoundary) {
    const std::pair<int, const char *> bytes[] = {
        {0, "^@"},     {13, "^M"},    {27, "^["},    {28, "^\\"},    {29, "^]"},    {30, "^~"},
        {31, "^_"},    {32, " ^"},    {33, "!"},     {92, "\\\\"},   {94, "^^"},    {126, "~"},
        {127, "^?"},   {128, "\\^@"}, {141, "\\^M"}, {156, "\\^\\"}, {157, "\\^]"}, {158, "\\^~"},
        {159, "\\^_"}, {160, "\\ "},  {193, "\\A"},  {219, "\\["},   {220, "\\^<"}, {221, "\\]"},
        {222, "\\^>"}, {223, "\\_"},  {254, "\\~"},  {255, "\\^?"},
    };
    for (const auto &[code, out] : bytes) {
        EXPECT_EQ(Strfunc::CtrlToArrow(std::string(1, char(code))), out) << code;
    }
    const std::string tabs = QByteArray("x\t").repeated(5000).toStdString(),
                      arrows = QByteArray("x^I").repeated(5000).toStdString();
    const std::pair<std::string, std::string> strings[] = {
        {"", ""}, {"\r\n\x1b", "^M^J^["}, {"ab  ", "ab  ^"}, {"a b", "a b"}, {tabs, arrows},
    };
    for (const auto &[in, out] : strings) {
        EXPECT_EQ(Strfunc::CtrlToArrow(in), out) << in.substr(0, 10);
    }
}

TEST(Strfunc, CountsAndReturnsFields) {
    const std::tuple<std::string, std::string, int> counts[] = {
        {"", ",", 0},     {"a", ",", 1},        {"a,", ",", 2}, {"a,,b", ",", 3},    {",", ",", 2},
        {"aaa", "aa", 3}, {"a<>b<>c", "<>", 3}, {"A", "a", 1},  {"a\nb\n", "\n", 3}, {"abc", "", 1},
    };
    for (const auto &[text, delimiter, count] : counts) {
        EXPECT_EQ(Strfunc::Dcount(text, delimiter), count) << text << " by " << delimiter;
    }
    const std::tuple<std::string, std::string, int, std::string> fields[] = {
        {"a,,b", ",", 0, "a,,b"},  {"a,,b", ",", 1, "a"},     {"a,,b", ",", 2, ""},
        {"a,,b", ",", 3, "b"},     {"a,,b", ",", 4, ""},      {"a,b", ",", 2, "b"},
        {"a,b", ",", 3, ""},       {"", ",", 1, ""},          {"", ",", 0, ""},
        {"a,", ",", 2, ""},        {",a", ",", 1, ""},        {",a", ",", 2, "a"},
        {"x<>y<>z", "<>", 2, "y"}, {"x<>y<>z", "<>", 3, "z"}, {"abc", ",", 1, "abc"},
        {"abc", ",", -1, ""},
    };
    for (const auto &[text, delimiter, n, field] : fields) {
        EXPECT_EQ(Strfunc::Field(text, delimiter, n), field) << text << " #" << n;
    }
}

} // namespace
} // namespace zelp::test
