// Start-up: the time from the start of a process to the first paint of the
// port-selection window, and the resident memory once "OK" has opened the
// port and the main window is on screen. The parent stamps the moment before
// it starts the process; the child, this same program with --child, builds
// the windows as the console's main() does and reports back on a pipe.
#include <spawn.h>
#include <sys/wait.h>

#include <QEvent>
#include <QRadioButton>
#include <cstring>

#include "bench_support.h"
#include "ui/com_select.h"
#include "ui/wrapping_button.h"

extern char** environ;

using namespace vela;
using namespace vela::bench;

namespace {

constexpr int kRuns = 10;

std::int64_t nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && at == 0) at = nowNs();
        return QObject::eventFilter(watched, event);
    }
    std::int64_t at = 0;
};

int child(int argc, char* argv[]) {
    QApplication application(argc, argv);
    applyConsoleStyle(application);
    application.setQuitOnLastWindowClosed(false);
    test::FeedbackRecorder feedback;
    test::Pty pty;
    qputenv("VELA_COM1", QByteArray::fromStdString(pty.slavePath()));

    Windows windows;
    com_select& select = windows.comSelect();
    FirstPaint paint;
    select.installEventFilter(&paint);
    select.show();
    while (paint.at == 0) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double selectMiB = residentMiB();

    select.com1[0]->setChecked(true);
    select.speed[1]->setChecked(true);
    select.Command1->click();
    if (!QTest::qWaitForWindowExposed(&windows.anaMenu()) || !windows.anaMenu().MSComm1.isOpen()) return 1;
    QTest::qWait(100);
    std::printf("%lld %.3f %.3f\n", static_cast<long long>(paint.at), selectMiB, residentMiB());
    return 0;
}

struct Run {
    double startupMs = 0;
    double selectMiB = 0;
    double mainMiB = 0;
};

bool runOnce(Run& run) {
    int out[2];
    if (::pipe(out) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    char self[] = "/proc/self/exe";
    char flag[] = "--child";
    char* args[] = {self, flag, nullptr};
    pid_t pid = 0;
    const std::int64_t start = nowNs();
    const int spawned = posix_spawn(&pid, self, &actions, nullptr, args, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (spawned != 0) {
        ::close(out[0]);
        return false;
    }
    char buffer[256] = {};
    std::size_t got = 0;
    for (ssize_t n; (n = ::read(out[0], buffer + got, sizeof buffer - 1 - got)) > 0;)
        got += static_cast<std::size_t>(n);
    ::close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    long long paintedAt = 0;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
        std::sscanf(buffer, "%lld %lf %lf", &paintedAt, &run.selectMiB, &run.mainMiB) != 3)
        return false;
    run.startupMs = static_cast<double>(paintedAt - start) / 1e6;
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    useOffscreenUnlessSet();
    if (argc > 1 && std::strcmp(argv[1], "--child") == 0) return child(argc, argv);

    std::vector<double> startup, select, main;
    for (int i = 0; i < kRuns; ++i) {
        Run run;
        if (!runOnce(run)) {
            std::printf("  FAILED: run %d of the console did not come up\n", i + 1);
            return 1;
        }
        startup.push_back(run.startupMs);
        select.push_back(run.selectMiB);
        main.push_back(run.mainMiB);
    }
    heading("Start-up (10 processes, offscreen)");
    figure("process start to com_select painted, median", median(startup), "ms");
    figure("  fastest", *std::min_element(startup.begin(), startup.end()), "ms");
    figure("  slowest", *std::max_element(startup.begin(), startup.end()), "ms");
    figure("resident memory, com_select shown", median(select), "MiB");
    figure("resident memory, main window open", median(main), "MiB");
    return 0;
}
