#pragma once
// Helpers shared by the tests: temporary folders, whole-file reads and writes, running a
// command, and child processes that report back through a pipe.

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace testutil {

// A fresh folder under /tmp, removed with its contents when the object goes.
class TempDir {
public:
    TempDir() {
        char tmpl[] = "/tmp/xbtest-XXXXXX";
        char* p = mkdtemp(tmpl);
        path_ = p ? p : "/tmp";
    }
    ~TempDir() {
        if (path_.rfind("/tmp/xbtest-", 0) == 0) {
            std::string cmd = "rm -rf '" + path_ + "'";
            if (std::system(cmd.c_str()) != 0) {
            }
        }
    }
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

struct CommandResult {
    int status = -1;  // exit status, or -1 when the command did not exit normally
    std::string out;
    std::string err;
};

// Runs a shell command, capturing standard output and standard error.
inline CommandResult Run(const std::string& command, const std::string& input = "") {
    char errTmpl[] = "/tmp/xbtest-err-XXXXXX";
    int errFd = mkstemp(errTmpl);
    if (errFd >= 0) close(errFd);
    char inTmpl[] = "/tmp/xbtest-in-XXXXXX";
    int inFd = mkstemp(inTmpl);
    if (inFd >= 0) {
        if (!input.empty() && write(inFd, input.data(), input.size()) < 0) {
        }
        close(inFd);
    }
    std::string full = "(" + command + ") < '" + inTmpl + "' 2> '" + errTmpl + "'";
    CommandResult r;
    if (FILE* p = popen(full.c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
        int st = pclose(p);
        r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    }
    r.err = ReadText(errTmpl);
    unlink(errTmpl);
    unlink(inTmpl);
    return r;
}

// A pipe between this process and one child, one byte per message.
class Pipe {
public:
    Pipe() {
        if (pipe(fds_) != 0) fds_[0] = fds_[1] = -1;
    }
    ~Pipe() {
        for (int fd : fds_)
            if (fd >= 0) close(fd);
    }
    void Send(char c) {
        if (write(fds_[1], &c, 1) != 1) {
        }
    }
    char Receive() {
        char c = 0;
        if (read(fds_[0], &c, 1) != 1) return 0;
        return c;
    }

private:
    int fds_[2];
};

// Runs `body` in a child process; the child's exit status is body's result (0 = good).
// Exceptions in the child become status 99.
inline pid_t Spawn(const std::function<int()>& body) {
    fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        int rc = 99;
        try {
            rc = body();
        } catch (...) {
            rc = 99;
        }
        _exit(rc);
    }
    return pid;
}

inline int Wait(pid_t pid) {
    int st = 0;
    if (waitpid(pid, &st, 0) != pid) return -1;
    return WIFEXITED(st) ? WEXITSTATUS(st) : 128 + (WIFSIGNALED(st) ? WTERMSIG(st) : 0);
}

}  // namespace testutil
