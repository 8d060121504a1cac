#include "SingleInstance.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

bool IsDirectory(const char* path) {
    struct stat info {};
    return path && *path && stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

// A file name made of name: path separators and control characters become '_'.
std::string SafeName(const std::string& name) {
    std::string safe = name.empty() ? std::string("instance") : name;
    for (char& c : safe)
        if (c == '/' || static_cast<unsigned char>(c) < 0x20)
            c = '_';
    if (safe == "." || safe == "..")
        safe = "_" + safe;
    return safe;
}

} // namespace

std::string SingleInstance::LockPath(const std::string& name, const std::string& directory) {
    if (!directory.empty())
        return directory + "/" + SafeName(name) + ".lock";
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (IsDirectory(runtime))
        return std::string(runtime) + "/" + SafeName(name) + ".lock";
    // /tmp is shared by every user: the user id keeps one user's lock from
    // holding off another user's program.
    return "/tmp/" + SafeName(name) + "-" + std::to_string(getuid()) + ".lock";
}

std::unique_ptr<SingleInstance> SingleInstance::TryAcquire(const std::string& name,
                                                           const std::string& directory) {
    std::string path = LockPath(name, directory);
    // Close-on-exec: a viewer started by the program must not inherit the lock.
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return std::unique_ptr<SingleInstance>(new SingleInstance(-1, std::move(path)));
    int result;
    do {
        result = flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        close(fd);
        return nullptr;
    }
    return std::unique_ptr<SingleInstance>(new SingleInstance(fd, std::move(path)));
}

SingleInstance::~SingleInstance() {
    // Closing the only descriptor releases the lock. The file stays: removing
    // it would race with a starter that has just opened it.
    if (Fd >= 0)
        close(Fd);
}

} // namespace platform
