// The ".mrs" measurement file: the measurement record's 16372 bytes as they
// are, nothing before or after them. Saving writes the whole record; loading
// reads the first 16372 bytes of a file, checks them and only then replaces
// the record, so that a refused file leaves the record as it was.
#pragma once

#include "model/MeasurementSet.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace workbench {

enum class SaveResult {
    Saved,
    CannotCreate, // no file could be created there, or `path` is not a regular file
    WriteFailed,  // not all of the record reached the disk: nothing was replaced
};

// Writes the whole record to `path` (created, or a regular file replaced).
// The record goes first into a new file in the same folder, which replaces
// `path` only once all of it is on the disk: after a failure `path` is as it
// was and no partial file is left. The record itself is never changed.
SaveResult SaveMeasurementFile(const MeasurementSet& record, const std::filesystem::path& path);

enum class LoadResult {
    Loaded,
    CannotOpen,     // the file could not be opened
    TooShort,       // fewer than 16372 bytes
    NoSeries,       // SeriesCount (byte 3) is 0
    TooManySeries,  // SeriesCount above 4
    BeyondLimits,   // a count, index, decimals or text length beyond the record's limits
    NonFiniteRange, // a sensor or display range that is not a finite number
};

// Checks a record read from a file: Loaded when the program can show it.
LoadResult CheckLoadedRecord(const MeasurementSet& candidate);

// Reads `path` into a copy, checks it, and assigns it to `record` only when
// it is accepted (all 16372 bytes, as they are in the file: the window then
// sets ShownSeries and its own series numbers from SeriesCount). Any other
// result leaves `record` untouched.
LoadResult LoadMeasurementFile(const std::filesystem::path& path, MeasurementSet& record);

// True when the extension of `fileName` (from its last dot) is ".mrs" in any
// letter case.
bool HasMeasurementExtension(std::string_view fileName);

// What the start-up does with the program's first argument.
struct CommandLineFile {
    bool Exists = false;  // a file of that name exists: show FileName
    bool Load = false;    // and its extension is ".mrs": load it, silently
    std::string FileName; // the name without its directory (set when Exists)
    std::filesystem::path Path;
};

// Call only when the program got at least one argument. A refused load is
// then ignored without a message.
CommandLineFile InspectCommandLineFile(std::string_view firstArgument);

} // namespace workbench
