// The window's list after a scan that finds millions of TIMs: a RAW file of
// 5,000,000 small TIMs back to back (a count on the command line changes it)
// is scanned with "Scan RAW File" on Qt's offscreen platform, into the
// workspace's entries and the list's table model. Reports the process's
// peak memory (VmHWM) before and after, the scan's time, the time from the
// end of the scan to the first paint of the list, and a paint of the list
// scrolled to its last row. One pass: a driver, not a Google Benchmark.

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/File.h"
#include "platform/qt/ScriptedPrompts.h"
#include "resources/ResourceIds.h"
#include "shell/CMainDlg.h"
#include "support/TempDir.h"
#include "support/TimBuilder.h"

namespace {

using namespace pixalto;

// The process's peak resident memory in KiB, from /proc/self/status.
long PeakKiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return -1;
}

void WriteRaw(const std::string& path, std::size_t count) {
    const auto tim = testing::MakeTim(testing::PatternTim(16, 1, 1));
    std::vector<std::uint8_t> chunk;
    File out;
    if (!out.Open(path, File::Mode::CreateWrite)) {
        std::abort();
    }
    constexpr std::size_t kPerChunk = 50'000;
    for (std::size_t done = 0; done < count; done += kPerChunk) {
        chunk.clear();
        for (std::size_t i = done; i < count && i < done + kPerChunk; ++i) {
            chunk.insert(chunk.end(), tim.begin(), tim.end());
        }
        if (!out.Write(chunk.data(), chunk.size())) {
            std::abort();
        }
    }
}

// Notes when the scan has finished (the entries settle) and when the list's
// rows are first painted after it.
class Stopwatch final : public QObject, public workspace::Observer {
  public:
    void EntriesChanged() override {
        if (!settled && !entries->empty()) {
            settled = true;
            clock.start();
        }
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (settled && event->type() == QEvent::Paint) {
            painted = true;
        }
        return QObject::eventFilter(watched, event);
    }
    const std::vector<raw::ScanEntry>* entries = nullptr;
    QElapsedTimer clock;
    bool settled = false, painted = false;
};

// Runs the event loop until the viewport has painted; the milliseconds it took.
double UntilPainted(Stopwatch& watch) {
    watch.painted = false;
    while (!watch.painted) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return static_cast<double>(watch.clock.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    const std::size_t count = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 5'000'000;
    testing::TempDir dir;
    const std::string path = dir.File("many.bin");
    WriteRaw(path, count);

    ui::ScriptedPrompts prompts;
    shell::CMainDlg window(prompts);
    window.Create();
    window.show();
    QCoreApplication::processEvents();
    const long before = PeakKiB();

    Stopwatch watch;
    watch.entries = &window.workspace.Entries();
    window.workspace.AddObserver(watch);
    window.List().viewport()->installEventFilter(&watch);
    QElapsedTimer scan;
    scan.start();
    prompts.files.push_back(path);
    window.OnCommand(res::kCmdScanRawFile);
    const double scanMs = static_cast<double>(scan.nsecsElapsed()) / 1e6;
    const double firstPaintMs = UntilPainted(watch);

    window.List().scrollToBottom();
    watch.clock.start();
    const double lastRowsMs = UntilPainted(watch);
    window.workspace.RemoveObserver(watch);

    const std::size_t found = window.workspace.Entries().size();
    std::printf("TIMs in the file      %zu\n", count);
    std::printf("rows in the list      %d (%zu entries)\n", window.List().GetItemCount(), found);
    std::printf("scan in the window    %.0f ms\n", scanMs);
    std::printf("scan end to 1st paint %.1f ms\n", firstPaintMs);
    std::printf("paint at the last row %.1f ms\n", lastRowsMs);
    std::printf("peak memory (VmHWM)   %.1f MB before the scan, %.1f MB after\n", before / 1024.0,
                PeakKiB() / 1024.0);
    return found == count && prompts.messages.empty() ? 0 : 1;
}
