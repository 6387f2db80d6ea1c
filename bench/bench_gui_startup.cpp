// Time from process start to a filled main window against the simulated
// phone, and the peak resident memory, over several runs of the program.

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    char tmpl[] = "/tmp/vondrix-bench-XXXXXX";
    const char* dir = mkdtemp(tmpl);
    if (!dir || chdir(dir) != 0)
        return 1;

    std::vector<double> startMs, rssMb;
    for (int i = 0; i < runs; ++i) {
        int pipeFds[2];
        if (pipe(pipeFds) != 0)
            return 1;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
        posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
        char* args[] = {const_cast<char*>(VONDRIX_GUI_PATH), const_cast<char*>("--simulate"),
                        const_cast<char*>("--exit-when-ready"), nullptr};
        const auto t0 = std::chrono::steady_clock::now();
        pid_t pid = 0;
        if (posix_spawn(&pid, VONDRIX_GUI_PATH, &actions, nullptr, args, environ) != 0)
            return 1;
        close(pipeFds[1]);
        // The program prints its line once the main window is shown and filled.
        char buf[64];
        const ssize_t n = read(pipeFds[0], buf, sizeof buf);
        const auto ready = std::chrono::steady_clock::now();
        close(pipeFds[0]);
        int status = 0;
        rusage ru{};
        wait4(pid, &status, 0, &ru);
        posix_spawn_file_actions_destroy(&actions);
        if (n <= 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::fprintf(stderr, "run %d failed\n", i + 1);
            return 1;
        }
        startMs.push_back(std::chrono::duration<double, std::milli>(ready - t0).count());
        rssMb.push_back(static_cast<double>(ru.ru_maxrss) / 1024.0);
        std::printf("run %d: %.1f ms to a filled main window, peak RSS %.1f MB\n", i + 1,
                    startMs.back(), rssMb.back());
    }
    std::sort(startMs.begin(), startMs.end());
    std::sort(rssMb.begin(), rssMb.end());
    std::printf(
        "median: %.1f ms to a filled main window (target < 1000 ms), peak RSS %.1f MB "
        "(target < 80 MB)\n",
        startMs[startMs.size() / 2], rssMb[rssMb.size() / 2]);
    return 0;
}
