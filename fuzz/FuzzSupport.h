// What the fuzz targets share: the headless application that text drawing
// needs, a scratch folder for the parsers that read files, and a stop that
// libFuzzer reports as a finding when a target's own check fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace fuzz {

// Creates the headless application once (offscreen platform, pinned font).
void EnsureApplication();

// A folder of this process's own, created once, removed when it ends.
const std::filesystem::path& ScratchFolder();

// Writes bytes to a file in the scratch folder and returns its path.
std::filesystem::path WriteScratchFile(const std::string& name, const uint8_t* data, size_t size);
std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path);

// Ends the process with the message: a check of the target failed.
[[noreturn]] void Fail(const char* what);
inline void Check(bool condition, const char* what) {
    if (!condition)
        Fail(what);
}

// Takes values from the front of the fuzz input; past its end, zeros.
class InputReader {
public:
    InputReader(const uint8_t* data, size_t size) : Data(data), Size(size) {}
    uint8_t Byte() { return At < Size ? Data[At++] : 0; }
    uint16_t Word() { return static_cast<uint16_t>(Byte() | (Byte() << 8)); }
    float Float();
    size_t Left() const { return Size - At; }
    const uint8_t* Rest() const { return Data + At; }

private:
    const uint8_t* Data;
    size_t Size;
    size_t At = 0;
};

} // namespace fuzz
