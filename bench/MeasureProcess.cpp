// vaultora-measure-process INPUT-FILE COMMAND...: runs COMMAND with INPUT-FILE as its standard
// input and its output thrown away, and prints "wall processor peak": the seconds from before
// the start to after the end, the seconds of user and kernel time, and the peak resident
// kilobytes. /usr/bin/time counts the same but prints hundredths of a second, too coarse beside
// an open of 50 ms; this program is as small as time, so that the peak of the process it
// forks before the command starts stays below any command's.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

namespace {

double seconds(const timeval& value) {
    return static_cast<double>(value.tv_sec) + static_cast<double>(value.tv_usec) / 1e6;
}

double now() {
    timespec value{};
    clock_gettime(CLOCK_MONOTONIC, &value);
    return static_cast<double>(value.tv_sec) + static_cast<double>(value.tv_nsec) / 1e9;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: vaultora-measure-process INPUT-FILE COMMAND...\n");
        return 2;
    }
    const int input = open(argv[1], O_RDONLY | O_CLOEXEC);
    const int output = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (input < 0 || output < 0) {
        std::perror("vaultora-measure-process");
        return 2;
    }
    const double start = now();
    const pid_t child = fork();
    if (child < 0) {
        std::perror("vaultora-measure-process");
        return 2;
    }
    if (child == 0) {
        if (dup2(input, STDIN_FILENO) < 0 || dup2(output, STDOUT_FILENO) < 0) {
            _exit(127);
        }
        execvp(argv[2], argv + 2);
        std::perror(argv[2]);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) {
        std::perror("vaultora-measure-process");
        return 2;
    }
    const double wall = now() - start;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed\n", argv[2]);
        return 1;
    }
    std::printf("%.6f %.6f %ld\n", wall, seconds(usage.ru_utime) + seconds(usage.ru_stime),
                usage.ru_maxrss);
    return 0;
}
