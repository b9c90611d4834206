#include "CliRunner.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <fcntl.h>

#include <cerrno>
#include <stdexcept>

extern char** environ;

namespace vaultora::test {

namespace {

struct Pipe {
    std::array<int, 2> ends{-1, -1};
    Pipe() {
        if (pipe2(ends.data(), O_CLOEXEC) != 0) {
            throw std::runtime_error("pipe failed");
        }
    }
    ~Pipe() {
        closeEnd(0);
        closeEnd(1);
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    void closeEnd(int index) {
        if (ends[static_cast<std::size_t>(index)] >= 0) {
            ::close(ends[static_cast<std::size_t>(index)]);
            ends[static_cast<std::size_t>(index)] = -1;
        }
    }
};

} // namespace

CliResult runCli(const std::vector<std::string>& arguments, const std::string& standardInput) {
    Pipe input;
    Pipe output;
    Pipe error;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input.ends[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output.ends[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, error.ends[1], STDERR_FILENO);

    std::vector<std::string> words = {VAULTORA_CLI_PATH};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);

    pid_t child = 0;
    const int spawned =
        posix_spawn(&child, VAULTORA_CLI_PATH, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        throw std::runtime_error("cannot start vaultora-cli");
    }
    input.closeEnd(0);
    output.closeEnd(1);
    error.closeEnd(1);

    // Feed the input and drain both outputs together so that neither side blocks.
    signal(SIGPIPE, SIG_IGN);
    CliResult result;
    std::size_t written = 0;
    if (standardInput.empty()) {
        input.closeEnd(1);
    }
    while (output.ends[0] >= 0 || error.ends[0] >= 0) {
        std::array<pollfd, 3> watched{
            {{output.ends[0], POLLIN, 0}, {error.ends[0], POLLIN, 0}, {input.ends[1], POLLOUT, 0}}};
        if (poll(watched.data(), watched.size(), -1) < 0 && errno != EINTR) {
            break;
        }
        if (watched[2].revents != 0 && input.ends[1] >= 0) {
            const ssize_t count = ::write(input.ends[1], standardInput.data() + written,
                                          standardInput.size() - written);
            written += count > 0 ? static_cast<std::size_t>(count) : 0;
            if (count < 0 || written == standardInput.size()) {
                input.closeEnd(1);
            }
        }
        for (std::size_t index = 0; index < 2; ++index) {
            if (watched[index].revents == 0) {
                continue;
            }
            std::array<char, 4096> buffer{};
            const ssize_t count = ::read(watched[index].fd, buffer.data(), buffer.size());
            if (count <= 0) {
                (index == 0 ? output : error).closeEnd(0);
            } else {
                (index == 0 ? result.out : result.err)
                    .append(buffer.data(), static_cast<std::size_t>(count));
            }
        }
    }
    input.closeEnd(1);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

} // namespace vaultora::test
