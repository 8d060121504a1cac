#include "model/MeasurementFile.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <system_error>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace workbench {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

bool Within(int32_t value, int32_t low, int32_t high) {
    return value >= low && value <= high;
}

bool RangesFinite(const float (&ranges)[MaxSeries][ChannelCount]) {
    for (const auto& series : ranges)
        for (float value : series)
            if (!std::isfinite(value))
                return false;
    return true;
}

// A new file created for writing beside the file it will replace (the same
// folder, so that renaming it over that file is one atomic step).
struct TemporaryFile {
    int Descriptor = -1;
    std::string Path;
};

TemporaryFile CreateTemporaryBeside(const std::filesystem::path& target) {
    const std::filesystem::path folder = target.parent_path();
    const std::string stem = "." + target.filename().string() + ".";
    static unsigned counter = 0;
    TemporaryFile result;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name =
            stem + std::to_string(::getpid()) + "-" + std::to_string(++counter);
        result.Path = (folder / name).string();
        // Created with the mode a new file gets (0666 less the umask).
        result.Descriptor =
            ::open(result.Path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (result.Descriptor >= 0 || errno != EEXIST)
            return result;
    }
    return result;
}

bool WriteWhole(int descriptor, const void* data, size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(descriptor, bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

} // namespace

SaveResult SaveMeasurementFile(const MeasurementSet& record, const std::filesystem::path& path) {
    // A link is followed, so that the file it names is the one replaced.
    std::filesystem::path target = path;
    struct stat link {};
    if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        std::error_code error;
        target = std::filesystem::weakly_canonical(path, error);
        if (error)
            return SaveResult::CannotCreate;
    }
    // Only a regular file is ever replaced: never a folder, a device or a pipe.
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode))
        return SaveResult::CannotCreate;
    if (!exists && errno != ENOENT)
        return SaveResult::CannotCreate;

    TemporaryFile temporary = CreateTemporaryBeside(target);
    if (temporary.Descriptor < 0)
        return SaveResult::CannotCreate;
    // A replaced file keeps its permissions.
    bool whole = !exists || ::fchmod(temporary.Descriptor, existing.st_mode & 07777) == 0;
    whole = whole && WriteWhole(temporary.Descriptor, &record, sizeof record);
    // The bytes are on the disk before the name points at them: a full disk
    // or an I/O error shows here at the latest.
    whole = whole && ::fsync(temporary.Descriptor) == 0;
    whole = ::close(temporary.Descriptor) == 0 && whole;
    if (whole && ::rename(temporary.Path.c_str(), target.c_str()) == 0)
        return SaveResult::Saved;
    ::unlink(temporary.Path.c_str());
    return SaveResult::WriteFailed;
}

LoadResult CheckLoadedRecord(const MeasurementSet& candidate) {
    if (candidate.SeriesCount == 0)
        return LoadResult::NoSeries;
    if (candidate.SeriesCount > MaxSeries)
        return LoadResult::TooManySeries;
    if (candidate.ShownSeries > MaxSeries)
        return LoadResult::BeyondLimits;
    for (int s = 0; s < MaxSeries; ++s)
        if (!Within(candidate.PointCount[s], 0, MaxPoints) ||
            !Within(candidate.XYPointCount[s], 0, MaxPoints))
            return LoadResult::BeyondLimits;
    if (!Within(candidate.MeasureCount, 10, MaxPoints))
        return LoadResult::BeyondLimits;
    if (candidate.DeltaTIndex >= 20)
        return LoadResult::BeyondLimits;
    for (int s = 0; s < MaxSeries; ++s)
        for (int c = 0; c < ChannelCount; ++c)
            if (candidate.SeriesUnit[s][c].Length > SeriesUnitMax ||
                candidate.SeriesLabel[s][c].Length > SeriesLabelMax ||
                candidate.SeriesDecimals[s][c] > 9)
                return LoadResult::BeyondLimits;
    if (!RangesFinite(candidate.DisplayMax) || !RangesFinite(candidate.DisplayMin) ||
        !RangesFinite(candidate.SensorMax) || !RangesFinite(candidate.SensorMin))
        return LoadResult::NonFiniteRange;
    return LoadResult::Loaded;
}

LoadResult LoadMeasurementFile(const std::filesystem::path& path, MeasurementSet& record) {
    std::FILE* raw = std::fopen(path.c_str(), "rb");
    if (raw == nullptr)
        return LoadResult::CannotOpen;
    FileHandle file(raw);
    // Heap copy: the record is 16 KB.
    auto candidate = std::make_unique<MeasurementSet>();
    if (std::fread(candidate.get(), 1, sizeof(MeasurementSet), file.get()) !=
        sizeof(MeasurementSet))
        return LoadResult::TooShort;
    LoadResult result = CheckLoadedRecord(*candidate);
    if (result == LoadResult::Loaded)
        record = *candidate;
    return result;
}

bool HasMeasurementExtension(std::string_view fileName) {
    size_t dot = fileName.find_last_of("./\\");
    if (dot == std::string_view::npos || fileName[dot] != '.')
        return false;
    std::string_view extension = fileName.substr(dot);
    static constexpr std::string_view Wanted = ".MRS";
    if (extension.size() != Wanted.size())
        return false;
    for (size_t i = 0; i < Wanted.size(); ++i) {
        char c = extension[i];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if (c != Wanted[i])
            return false;
    }
    return true;
}

CommandLineFile InspectCommandLineFile(std::string_view firstArgument) {
    CommandLineFile result;
    result.Path = std::filesystem::path(std::string(firstArgument));
    std::error_code error;
    if (firstArgument.empty() || !std::filesystem::is_regular_file(result.Path, error))
        return result;
    result.Exists = true;
    result.FileName = result.Path.filename().string();
    result.Load = HasMeasurementExtension(result.FileName);
    return result;
}

} // namespace workbench
