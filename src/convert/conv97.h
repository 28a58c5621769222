#pragma once

#include "conversionreport.h"
#include "frmhelper.h"

#include "client/core/legacyreader.h"
#include "client/core/propertybag.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <string>

namespace zelp {

// Recognises connection files of the 97 generation and converts them into 2000 files through
// a hidden helper window.
class Conv97 : public QObject {
    Q_OBJECT
public:
    using BrowserFactory = std::function<std::unique_ptr<HelperBrowser>()>;
    using TimerFactory = std::function<std::unique_ptr<OneShotTimer>()>;
    // The name of a new, empty work file in a folder, or empty when none can be made.
    using WorkFileMaker = std::function<QString(const QString &folder)>;

    static constexpr const char *kUnsafe97ClassId = "F24D6917-69D1-11D2-AB7F-0040055A85C2";
    static constexpr const char *kSafe97ClassId = "F24D6911-69D1-11D2-AB7F-0040055A85C2";

    // Without a browser factory the helper hosts documents without a window (DirectHost);
    // without a timer factory it times out on the event loop's timer.
    explicit Conv97(BrowserFactory browsers = {}, TimerFactory timers = {});
    ~Conv97() override;

    // Work files are made by NewWorkFileName unless the caller has its own kind.
    void setWorkFileMaker(WorkFileMaker maker) { workFiles_ = std::move(maker); }

    // Whether the file is a 97 connection file; only regular files are read.
    bool Test(const QString &fileName);
    // Shows its own messages and questions; true when NewFileName holds the converted file.
    bool Convert(const QString &oldFileName, const QString &newFileName);
    void Helper_Complete(bool status);

    static std::string PropertyNameList();
    void CopyLegacyProperties(const LegacyDocumentReader &reader);

    bool safe97() const { return safe97_; }
    bool unsafe97() const { return unsafe97_; }
    QString testedFileName() const { return testedName_; }
    // What the last Convert did.
    const ConversionReport &report() const { return report_; }
    // The helper of the conversion under way; nullptr outside one.
    FrmHelper *Helper() const { return helper_.get(); }

Q_SIGNALS:
    void helperDone();

private:
    int16_t say(const QString &text, int16_t style);
    bool fail(const QString &text);
    // The steps of Convert. Each says what went wrong and returns false (the work file: empty)
    // when the conversion ends there.
    bool checkSource(const QString &oldFileName);
    // False unless the user agrees to each replacement asked about.
    bool confirmTarget(const QString &oldFileName, const QString &newFileName);
    bool readLegacy(const QString &oldFileName);
    QString writeWorkFile(const QString &newFileName);
    bool convertInHelper(const QString &work, const QString &newFileName);
    // Fails with text (and why), unloading the helper and deleting the work file.
    bool abandon(const QString &text, const QString &why, const QString &work);
    void waitForHelper();
    void unloadHelper();
    void fillDocument(QObject *hosted);

    BrowserFactory browsers_;
    TimerFactory timers_;
    WorkFileMaker workFiles_;
    bool done_ = false;
    bool status_ = false;
    bool safe97_ = false;
    bool unsafe97_ = false;
    QString testedName_;
    std::unique_ptr<FrmHelper> helper_;
    std::unique_ptr<PropertyBag> bag_;
    ConversionReport report_;
};

// The 16 bytes of a class identifier as a compound file stores it; empty when the text is no
// class identifier.
QByteArray ClassIdToBytes(const QString &text);

// The routine appended to an old script that has none: the client calls it when the
// connection breaks.
std::string disconnectedRoutine();

namespace ConvTexts {
inline constexpr const char *kIsLegacy = " is an Velmaris 97 Internet Connection file.";
inline constexpr const char *kConvertQuestion =
    "Do you want to convert this file for use with Velmaris 2000 Internet Edition?";
inline constexpr const char *kNewNameTitle = "Choose Velmaris 2000 Internet Connection File Name";
inline constexpr const char *kUnableToConvert = "Unable to convert file to Velmaris 2000 format!";
inline constexpr const char *kUnableToOpen = "Unable to open ";
inline constexpr const char *kNoGuid = "Unable to locate ZELP97 GUID in ";
inline constexpr const char *kSameName =
    "You did not specify a different file name for the converted file.\r\n"
    "Your original file will be overwritten by the converted file.\r\n"
    "Do you want to continue anyway?";
inline constexpr const char *kFailed97 = "Failed to load ZELP 97 UserDocument from ";
inline constexpr const char *kUnableToWriteTemp = "Unable to write temporary file ";
inline constexpr const char *kFailed2000 =
    "Failed to load ZELP 2000 UserDocument from temporary file";
inline constexpr const char *kNotSaved = "The converted document did not save itself to ";
inline constexpr const char *kUnableToMove = "Unable to move the converted file to ";
inline constexpr const char *kConversionFailed = "Conversion failed due to the following error:";
} // namespace ConvTexts

} // namespace zelp
