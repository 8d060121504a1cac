#include "FuzzSupport.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace fuzz {

void EnsureApplication() {
    // Never destroyed: at exit the toolkit's own statics may be gone first.
    static QApplication* application = nullptr;
    if (application)
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    application = new QApplication(argc, argv);
}

namespace {

struct Scratch {
    std::filesystem::path Path;
    Scratch() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/kestrova-fuzz-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr)
            Fail("cannot create a scratch folder");
        Path = pattern;
    }
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(Path, ignored);
    }
};

} // namespace

const std::filesystem::path& ScratchFolder() {
    static Scratch scratch;
    return scratch.Path;
}

std::filesystem::path WriteScratchFile(const std::string& name, const uint8_t* data, size_t size) {
    const std::filesystem::path path = ScratchFolder() / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out)
        Fail("cannot write a scratch file");
    return path;
}

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void Fail(const char* what) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

float InputReader::Float() {
    uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
        bits |= static_cast<uint32_t>(Byte()) << (8 * i);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

} // namespace fuzz
