// Named single-instance lock: one lock file per program name in the user's
// runtime directory ($XDG_RUNTIME_DIR, else /tmp), held with flock. The
// system drops the lock when its holder ends, crashed or not, so a stale file
// never blocks a new start.
#pragma once

#include <memory>
#include <string>

namespace platform {

class SingleInstance {
public:
    // The held lock for name, or nullptr when another holder (this process or
    // another one) has it. When the lock file cannot be made at all (folder
    // missing or not writable) the program is not kept from starting: the
    // result is a holder whose IsLocked() is false. directory empty: the
    // user's runtime directory.
    static std::unique_ptr<SingleInstance> TryAcquire(const std::string& name,
                                                      const std::string& directory = {});

    // The lock file used for name in directory (empty: the runtime directory).
    static std::string LockPath(const std::string& name, const std::string& directory = {});

    ~SingleInstance(); // releases the lock
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    const std::string& Path() const { return FilePath; }
    bool IsLocked() const { return Fd >= 0; }

private:
    SingleInstance(int fd, std::string path) : Fd(fd), FilePath(std::move(path)) {}
    int Fd;
    std::string FilePath;
};

} // namespace platform
