// One upload as the upload cycle makes it, against a loopback FTP server:
// connect and log in, send a 100 KB picture, quit.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "platform/ftp/ftp_session.h"
#include "testsupport/ftp_server.h"

namespace {

using snapwire::ftp::FtpConnection;
using snapwire::ftp::InternetSession;
using snapwire::testing::FtpTestServer;

struct Fixture {
    FtpTestServer server;
    InternetSession session;
    QTemporaryDir folder;
    QString picture;
};

Fixture* fixture = nullptr;

bool ConnectToServer(FtpConnection& connection, bool passive) {
    return connection.Connect(QStringLiteral("127.0.0.1"), FtpTestServer::user(), FtpTestServer::password(),
                              passive);
}

void BM_ConnectPutClose(benchmark::State& state) {
    const bool passive = state.range(0) != 0;
    for (auto _ : state) {
        FtpConnection connection(fixture->session);
        if (!ConnectToServer(connection, passive) ||
            !connection.PutFile(fixture->picture, QStringLiteral("webcam.jpg"))) {
            state.SkipWithError("upload failed");
            break;
        }
        connection.Close();
    }
    state.SetBytesProcessed(state.iterations() * 100 * 1024);
}
BENCHMARK(BM_ConnectPutClose)->ArgName("passive")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_PutOnOpenConnection(benchmark::State& state) {
    FtpConnection connection(fixture->session);
    if (!ConnectToServer(connection, true)) {
        state.SkipWithError("connect failed");
        return;
    }
    for (auto _ : state) {
        if (!connection.PutFile(fixture->picture, QStringLiteral("webcam.jpg"))) {
            state.SkipWithError("upload failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * 100 * 1024);
}
BENCHMARK(BM_PutOnOpenConnection)->Unit(benchmark::kMillisecond);

bool PrepareFixture(Fixture& f) {
    if (!f.server.isRunning()) {
        std::fprintf(stderr, "FTP server: %s\n", qPrintable(f.server.errorString()));
        return false;
    }
    qputenv("SNAPWIRE_FTP_PORT", QByteArray::number(f.server.port()));
    f.picture = f.folder.filePath(QStringLiteral("webcam.jpg"));
    QFile file(f.picture);
    if (!f.session.Open(QStringLiteral("ORSN")) || !file.open(QIODevice::WriteOnly))
        return false;
    file.write(QByteArray(100 * 1024, '\xA5'));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Fixture f;
    if (!PrepareFixture(f))
        return 1;
    fixture = &f;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
