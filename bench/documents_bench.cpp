// What a connection costs to open and to save, against writing the same bytes plainly: the
// ratio of the pairs is the price of the compound file and the typed settings.
#include "client/core/clientdocument.h"
#include "client/core/recordstream.h"
#include "common/fileutil.h"
#include "files/resources.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace zelp;

// A connection with a setting of every type changed, the 80 colours and a long script.
QString busyConnection(const QTemporaryDir &dir) {
    const QString path = dir.filePath(QStringLiteral("busy.ats"));
    WriteWholeFile(path, templateResource(kTemplateSafeConnection));
    auto doc = ClientDocument::load(path);
    doc->Settings()->setValue("sHostName", std::string("mainframe.example"));
    doc->Settings()->setValue("sNormRows", int16_t(43));
    doc->Settings()->setValue("sBaud", int32_t(115200));
    doc->Settings()->setValue("sScaleFont", false);
    for (int i = 0; i < 16; ++i) {
        doc->Settings()->setValue("sPalette" + std::to_string(i), double(i * 4099 + 1));
    }
    for (int i = 0; i < 64; ++i) {
        doc->Settings()->setValue("sAttrColor" + std::to_string(i), double(63 - i));
    }
    doc->setScript(defaultScript() + std::string(20000, 'x'));
    doc->save();
    return path;
}

void BM_OpenConnection(benchmark::State &state) {
    QTemporaryDir dir;
    const QString path = busyConnection(dir);
    for (auto _ : state) {
        auto doc = ClientDocument::load(path);
        benchmark::DoNotOptimize(doc.get());
    }
}
BENCHMARK(BM_OpenConnection);

void BM_ReadSameBytes(benchmark::State &state) {
    QTemporaryDir dir;
    const QString path = busyConnection(dir);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadWholeFile(path));
    }
}
BENCHMARK(BM_ReadSameBytes);

void BM_SaveConnection(benchmark::State &state) {
    QTemporaryDir dir;
    const QString path = busyConnection(dir);
    auto doc = ClientDocument::load(path);
    for (auto _ : state) {
        doc->PropChanged();
        benchmark::DoNotOptimize(doc->save());
    }
}
BENCHMARK(BM_SaveConnection);

void BM_WriteSameBytes(benchmark::State &state) {
    QTemporaryDir dir;
    const QString path = busyConnection(dir);
    const QByteArray bytes = ReadWholeFile(path);
    for (auto _ : state) {
        benchmark::DoNotOptimize(WriteWholeFile(path, bytes));
    }
}
BENCHMARK(BM_WriteSameBytes);

void BM_DecodeSettings(benchmark::State &state) {
    QTemporaryDir dir;
    const auto content = CompoundFile::read(busyConnection(dir));
    const std::string settings = *content->stream("Settings");
    for (auto _ : state) {
        benchmark::DoNotOptimize(RecordStream::decode(settings));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(settings.size()));
}
BENCHMARK(BM_DecodeSettings);

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
