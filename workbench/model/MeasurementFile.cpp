#include "model/MeasurementFile.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <system_error>

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

} // namespace

SaveResult SaveMeasurementFile(const MeasurementSet& record, const std::filesystem::path& path) {
    std::FILE* raw = std::fopen(path.c_str(), "wb");
    if (raw == nullptr)
        return SaveResult::CannotCreate;
    FileHandle file(raw);
    bool written = std::fwrite(&record, 1, sizeof record, file.get()) == sizeof record;
    // Closing flushes: a full disk may show only here.
    bool closed = std::fclose(file.release()) == 0;
    return written && closed ? SaveResult::Saved : SaveResult::WriteFailed;
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
