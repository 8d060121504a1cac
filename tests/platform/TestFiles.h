// Scratch folders, file contents and environment variables for the platform
// tests; everything is put back at the end of the scope.
#pragma once

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace testfiles {

class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = "/tmp/kestrova-platform-XXXXXX";
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        Path = pattern;
    }
    ~ScratchDir() {
        const std::string command = "rm -rf '" + Path + "'";
        [[maybe_unused]] int ignored = std::system(command.c_str());
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::string File(const std::string& name) const { return Path + "/" + name; }

    std::string Path;
};

inline std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << bytes;
}

// Sets (or, with nullopt, removes) an environment variable for a scope.
class ScopedEnv {
public:
    ScopedEnv(std::string name, std::optional<std::string> value) : Name(std::move(name)) {
        if (const char* old = std::getenv(Name.c_str()))
            Old = old;
        Set(value);
    }
    ~ScopedEnv() { Set(Old); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void Set(const std::optional<std::string>& value) {
        if (value)
            setenv(Name.c_str(), value->c_str(), 1);
        else
            unsetenv(Name.c_str());
    }
    std::string Name;
    std::optional<std::string> Old;
};

} // namespace testfiles
