// Fleet migration against a plain copy: N 97 files converted by "zelpdev2k-cli convert --into"
// and copied by cp, side by side in the same run. Usage:
//   bench_convert [N] [ROUNDS]       time both (defaults 1000 and 3)
//   bench_convert --write DIR [N]    only write N 97 files into DIR (seeds, a test fleet)
#include "client/core/legacy97writer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using zelp::test::Legacy97Property;

// A realistic mix: both clients, a script, colours and up to four keys.
std::vector<Legacy97Property> propertiesOf(int i) {
    std::string script = "Sub Main()\r\n\tActiveSession.Connect\r\nEnd Sub\r\n";
    for (size_t k = 0; k < script.size(); ++k) {
        script[k] = char(static_cast<unsigned char>(script[k]) ^ ((k + 1) & 15));
    }
    std::vector<Legacy97Property> p = {
        {"SessionTitle", "Branch " + std::to_string(i)},
        {"HostName", "host" + std::to_string(i % 50) + ".example"},
        {"HostPort", std::string("23")},
        {"NormRows", int16_t(24 + i % 2)},
        {"Baud", int32_t(9600)},
        {"ScaleFont", bool(i % 2)},
        {"ExtMode", bool(i % 3 == 0)},
        {"Script", script},
        {"Palette", std::string("0,128,32768,32896,8388608,8388736,8421376,12632256,8421504,"
                                "255,65280,65535,16711680,16711935,16776960,16777215")},
        {"AttrColors", std::string("7,7,15,15,1,2,3,4,5,6")},
        {"KeyCount", int16_t(i % 5)},
    };
    for (int k = 1; k <= i % 5; ++k) {
        p.push_back({"Key" + std::to_string(k), "F" + std::to_string(k) + std::string(1, '\0') +
                                                    "cmd" + std::to_string(k) + "\r"});
    }
    return p;
}

bool writeFleet(const QString &dir, int n) {
    QDir().mkpath(dir);
    for (int i = 0; i < n; ++i) {
        const QString file = QStringLiteral("%1/conn%2.ats").arg(dir).arg(i, 4, 10, QChar(u'0'));
        if (!zelp::test::write97File(
                file, i % 2 ? zelp::test::kSafe97ClassId : zelp::test::kUnsafe97ClassId,
                propertiesOf(i))) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return false;
        }
    }
    return true;
}

// Seconds the program took; negative when it failed.
double timed(const QString &program, const QStringList &args) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    process.start(program, args);
    if (!process.waitForFinished(600000) || process.exitCode() != 0) {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(program),
                     process.readAllStandardOutput().constData());
        return -1;
    }
    return double(clock.nsecsElapsed()) / 1e9;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (!args.isEmpty() && args.first() == QLatin1String("--write")) {
        return args.size() >= 2 && writeFleet(args[1], args.size() > 2 ? args[2].toInt() : 1000)
                   ? 0
                   : 1;
    }
    const int n = args.size() > 0 ? args[0].toInt() : 1000;
    const int rounds = args.size() > 1 ? args[1].toInt() : 3;
    QTemporaryDir dir;
    const QString fleet = dir.filePath(QStringLiteral("fleet"));
    if (!writeFleet(fleet, n)) {
        return 1;
    }
    std::vector<double> copy, convert;
    for (int r = 0; r < rounds; ++r) {
        const QString copied = dir.filePath(QStringLiteral("copied%1").arg(r));
        const QString converted = dir.filePath(QStringLiteral("converted%1").arg(r));
        const double c = timed(QStringLiteral("cp"), {QStringLiteral("-r"), fleet, copied});
        const double v =
            timed(QStringLiteral(ZELP_CLI),
                  {QStringLiteral("convert"), QStringLiteral("--into"), converted, fleet});
        if (c < 0 || v < 0) {
            return 1;
        }
        copy.push_back(c);
        convert.push_back(v);
        std::printf("round %d: cp %.3f s, convert %.3f s\n", r + 1, c, v);
    }
    const double c = median(copy), v = median(convert);
    std::printf("%d files, median of %d rounds: cp %.3f s, convert %.3f s\n", n, rounds, c, v);
    std::printf("convert: %.0f files per second; %.1f times the time of cp\n", n / v, v / c);
    return 0;
}
