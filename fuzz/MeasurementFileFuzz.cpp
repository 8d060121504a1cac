// The ".mrs" loader: a refused file leaves the record as it was; an accepted
// one is drawn in every mode and saved back to the same 16372 bytes.
#include "FuzzSupport.h"
#include "RecordDrawing.h"
#include "model/MeasurementFile.h"

#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace workbench;
    const auto path = fuzz::WriteScratchFile("entree.mrs", data, size);
    auto record = std::make_unique<MeasurementSet>();
    std::memset(record.get(), 0x5A, sizeof *record);
    const auto before = std::make_unique<MeasurementSet>(*record);
    if (LoadMeasurementFile(path, *record) != LoadResult::Loaded) {
        fuzz::Check(std::memcmp(record.get(), before.get(), sizeof *record) == 0,
                    "a refused file changed the record");
        return 0;
    }
    fuzz::Check(size >= sizeof *record && std::memcmp(record.get(), data, sizeof *record) == 0,
                "the loaded record is not the file's first bytes");
    // What follows the record drives the drawing.
    fuzz::InputReader input(data + sizeof *record, size - sizeof *record);
    fuzz::DrawRecordInEveryMode(*record, input);
    const auto saved = fuzz::ScratchFolder() / "sortie.mrs";
    fuzz::Check(SaveMeasurementFile(*record, saved) == SaveResult::Saved, "saving failed");
    const std::vector<uint8_t> bytes = fuzz::ReadFileBytes(saved);
    fuzz::Check(bytes.size() == sizeof *record &&
                    std::memcmp(bytes.data(), data, sizeof *record) == 0,
                "the saved file differs from the loaded one");
    return 0;
}
