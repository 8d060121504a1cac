#include "model/MeasurementFile.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

using namespace workbench;
namespace fs = std::filesystem;

// The C library's close, replaced in this test program: armed, the next
// close reports an error as a network file system does for a write it could
// not complete (EIO); the descriptor is closed all the same.
namespace {
std::atomic<bool> FailNextClose{false};
} // namespace

extern "C" int close(int fd) {
    const long result = ::syscall(SYS_close, fd);
    if (FailNextClose.exchange(false)) {
        errno = EIO;
        return -1;
    }
    return static_cast<int>(result);
}

namespace {

using Bytes = std::vector<uint8_t>;

// A private folder per test, removed afterwards.
class MeasurementFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        Dir = fs::temp_directory_path() /
              ("kestrova-mrs-" + std::to_string(getpid()) + "-" + info->name());
        fs::remove_all(Dir);
        fs::create_directories(Dir);
    }
    void TearDown() override { fs::remove_all(Dir); }

    static Bytes ReadAll(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    static void WriteAll(const fs::path& path, const Bytes& bytes) {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    static Bytes BytesOf(const MeasurementSet& record) {
        const auto* p = reinterpret_cast<const uint8_t*>(&record);
        return Bytes(p, p + sizeof record);
    }

    fs::path Dir;
};

void SetText(ShortString<SeriesUnitMax>& field, const char* text) {
    field.Length = static_cast<uint8_t>(std::strlen(text));
    std::memcpy(field.Text, text, field.Length);
}

// Two series of a plausible measurement, with stale bytes everywhere else
// (they carry nothing but must travel with the file).
std::unique_ptr<MeasurementSet> SampleRecord() {
    auto record = std::make_unique<MeasurementSet>();
    auto* bytes = reinterpret_cast<uint8_t*>(record.get());
    for (size_t i = 0; i < sizeof *record; ++i)
        bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    record->Reserved = 0;
    record->LastAcqMode = 2;
    record->ShownSeries = 2;
    record->SeriesCount = 2;
    for (int s = 0; s < MaxSeries; ++s) {
        record->PointCount[s] = s < 2 ? 95 : 0;
        record->XYPointCount[s] = s == 1 ? 12 : 0;
        for (int c = 0; c < ChannelCount; ++c) {
            SetText(record->SeriesUnit[s][c], "V");
            record->SeriesLabel[s][c].Length = 16; // the longest label
            record->SeriesDecimals[s][c] = 2;
            record->SensorMax[s][c] = record->DisplayMax[s][c] = 10.0f;
            record->SensorMin[s][c] = record->DisplayMin[s][c] = -10.0f;
        }
    }
    record->MeasureCount = 95;
    record->DeltaTIndex = 0;
    for (int k = 0; k < MaxPoints; ++k) {
        record->PointTime[0][k] = 0.5f * static_cast<float>(k);
        record->PointValue[0][0][k] = std::sin(0.1f * static_cast<float>(k));
    }
    record->PointValue[1][1][3] = 3.0e12f; // over range, stored as it is
    return record;
}

TEST_F(MeasurementFileTest, SaveLoadSaveGivesTheSameBytes) {
    auto record = SampleRecord();
    fs::path first = Dir / "essai.mrs", second = Dir / "copie.mrs";
    ASSERT_EQ(SaveMeasurementFile(*record, first), SaveResult::Saved);
    Bytes written = ReadAll(first);
    ASSERT_EQ(written.size(), 16372u);
    EXPECT_EQ(written, BytesOf(*record));

    auto loaded = std::make_unique<MeasurementSet>();
    ASSERT_EQ(LoadMeasurementFile(first, *loaded), LoadResult::Loaded);
    EXPECT_EQ(loaded->PointValue[1][1][3], 3.0e12f);
    ASSERT_EQ(SaveMeasurementFile(*loaded, second), SaveResult::Saved);
    EXPECT_EQ(ReadAll(second), written);

    // Saving replaces an older, longer file whole.
    WriteAll(second, Bytes(20000, 0xEE));
    ASSERT_EQ(SaveMeasurementFile(*loaded, second), SaveResult::Saved);
    EXPECT_EQ(ReadAll(second), written);
}

TEST_F(MeasurementFileTest, LongerFileLoadsFromItsFirstRecord) {
    auto record = SampleRecord();
    Bytes bytes = BytesOf(*record);
    bytes.resize(bytes.size() + 100, 0xFF);
    WriteAll(Dir / "long.mrs", bytes);
    auto loaded = std::make_unique<MeasurementSet>();
    ASSERT_EQ(LoadMeasurementFile(Dir / "long.mrs", *loaded), LoadResult::Loaded);
    EXPECT_EQ(BytesOf(*loaded), BytesOf(*record));
}

// Each case spoils one aspect of a good file; the record must come out of the
// refused load exactly as it went in.
TEST_F(MeasurementFileTest, RefusedFilesLeaveTheRecordUnchanged) {
    constexpr float Inf = std::numeric_limits<float>::infinity();
    constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* name;
        void (*spoil)(MeasurementSet&);
        size_t size;
        LoadResult expected;
    };
    const Case cases[] = {
        {"one byte short", [](MeasurementSet&) {}, 16371, LoadResult::TooShort},
        {"empty file", [](MeasurementSet&) {}, 0, LoadResult::TooShort},
        {"no series", [](MeasurementSet& r) { r.SeriesCount = 0; }, 16372, LoadResult::NoSeries},
        {"five series", [](MeasurementSet& r) { r.SeriesCount = 5; }, 16372,
         LoadResult::TooManySeries},
        {"255 series", [](MeasurementSet& r) { r.SeriesCount = 255; }, 16372,
         LoadResult::TooManySeries},
        {"shown series 5", [](MeasurementSet& r) { r.ShownSeries = 5; }, 16372,
         LoadResult::BeyondLimits},
        {"201 points", [](MeasurementSet& r) { r.PointCount[0] = 201; }, 16372,
         LoadResult::BeyondLimits},
        {"negative points", [](MeasurementSet& r) { r.PointCount[3] = -1; }, 16372,
         LoadResult::BeyondLimits},
        {"201 manual points", [](MeasurementSet& r) { r.XYPointCount[2] = 201; }, 16372,
         LoadResult::BeyondLimits},
        {"no measurement", [](MeasurementSet& r) { r.MeasureCount = 0; }, 16372,
         LoadResult::BeyondLimits},
        {"201 measurements", [](MeasurementSet& r) { r.MeasureCount = 201; }, 16372,
         LoadResult::BeyondLimits},
        {"interval 20", [](MeasurementSet& r) { r.DeltaTIndex = 20; }, 16372,
         LoadResult::BeyondLimits},
        {"unit of 7", [](MeasurementSet& r) { r.SeriesUnit[3][1].Length = 7; }, 16372,
         LoadResult::BeyondLimits},
        {"label of 17", [](MeasurementSet& r) { r.SeriesLabel[0][0].Length = 17; }, 16372,
         LoadResult::BeyondLimits},
        {"10 decimals", [](MeasurementSet& r) { r.SeriesDecimals[1][0] = 10; }, 16372,
         LoadResult::BeyondLimits},
        {"display top infinite", [](MeasurementSet& r) { r.DisplayMax[2][1] = Inf; }, 16372,
         LoadResult::NonFiniteRange},
        {"display bottom NaN", [](MeasurementSet& r) { r.DisplayMin[0][0] = NaN; }, 16372,
         LoadResult::NonFiniteRange},
        {"sensor bottom -inf", [](MeasurementSet& r) { r.SensorMin[3][0] = -Inf; }, 16372,
         LoadResult::NonFiniteRange},
    };
    auto original = SampleRecord();
    original->SeriesCount = 3; // what the record held before the load
    original->PointValue[2][0][0] = 42.0f;
    const Bytes before = BytesOf(*original);
    for (const Case& c : cases) {
        auto spoilt = SampleRecord();
        c.spoil(*spoilt);
        Bytes bytes = BytesOf(*spoilt);
        bytes.resize(c.size);
        WriteAll(Dir / "refus.mrs", bytes);
        auto record = std::make_unique<MeasurementSet>(*original);
        EXPECT_EQ(LoadMeasurementFile(Dir / "refus.mrs", *record), c.expected) << c.name;
        EXPECT_EQ(BytesOf(*record), before) << c.name;
    }
    auto record = std::make_unique<MeasurementSet>(*original);
    EXPECT_EQ(LoadMeasurementFile(Dir / "absent.mrs", *record), LoadResult::CannotOpen);
    EXPECT_NE(LoadMeasurementFile(Dir, *record), LoadResult::Loaded);
    EXPECT_EQ(BytesOf(*record), before);
}

TEST_F(MeasurementFileTest, SeriesCountBoundsAndOutOfRangePointsAreAccepted) {
    for (uint8_t count : {1, 4}) {
        auto file = SampleRecord();
        file->SeriesCount = count;
        file->PointCount[3] = 200;
        file->MeasureCount = 10;
        file->DeltaTIndex = 19;
        file->PointValue[0][0][0] = -3.0e12f;
        file->DisplayMax[0][0] = file->DisplayMin[0][0]; // flat, but finite
        WriteAll(Dir / "ok.mrs", BytesOf(*file));
        auto record = std::make_unique<MeasurementSet>();
        EXPECT_EQ(LoadMeasurementFile(Dir / "ok.mrs", *record), LoadResult::Loaded);
        EXPECT_EQ(record->SeriesCount, count);
    }
}

TEST_F(MeasurementFileTest, UnwritablePathFailsAndKeepsTheRecord) {
    auto record = SampleRecord();
    const Bytes before = BytesOf(*record);
    EXPECT_EQ(SaveMeasurementFile(*record, Dir), SaveResult::CannotCreate);
    EXPECT_EQ(SaveMeasurementFile(*record, Dir / "absent" / "x.mrs"), SaveResult::CannotCreate);
    EXPECT_EQ(BytesOf(*record), before);
    EXPECT_TRUE(fs::is_directory(Dir));
}

TEST_F(MeasurementFileTest, OnlyRegularFilesAreReplaced) {
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    auto record = SampleRecord();
    EXPECT_EQ(SaveMeasurementFile(*record, "/dev/full"), SaveResult::CannotCreate);
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

// The last word on the written bytes is the close: when it fails, the save
// fails, the old file stays whole and no partial file is left.
TEST_F(MeasurementFileTest, FailedCloseKeepsTheOldFileAndLeavesNoPartialOne) {
    auto record = SampleRecord();
    const Bytes old(16372, 0x4B);
    WriteAll(Dir / "tp.mrs", old);
    FailNextClose = true;
    EXPECT_EQ(SaveMeasurementFile(*record, Dir / "tp.mrs"), SaveResult::WriteFailed);
    EXPECT_FALSE(FailNextClose) << "the save closed its file";
    FailNextClose = false;
    EXPECT_EQ(ReadAll(Dir / "tp.mrs"), old);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Dir))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"tp.mrs"});
}

// The disk fills up after 12288 bytes (a file size limit stands in for it):
// the file that was there stays whole and no partial file is left beside it.
TEST_F(MeasurementFileTest, FullDiskKeepsTheOldFileAndLeavesNoPartialOne) {
    auto record = SampleRecord();
    const Bytes old(16372, 0x4B);
    WriteAll(Dir / "tp.mrs", old);
    fs::permissions(Dir / "tp.mrs", fs::perms(0640));

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 12288;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const SaveResult full = SaveMeasurementFile(*record, Dir / "tp.mrs");
    const SaveResult fresh = SaveMeasurementFile(*record, Dir / "nouveau.mrs");
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(full, SaveResult::WriteFailed);
    EXPECT_EQ(fresh, SaveResult::WriteFailed);
    EXPECT_EQ(ReadAll(Dir / "tp.mrs"), old);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Dir))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"tp.mrs"});

    // With room again, the same save replaces it and keeps its permissions.
    ASSERT_EQ(SaveMeasurementFile(*record, Dir / "tp.mrs"), SaveResult::Saved);
    EXPECT_EQ(ReadAll(Dir / "tp.mrs"), BytesOf(*record));
    EXPECT_EQ(fs::status(Dir / "tp.mrs").permissions(), fs::perms(0640));
}

TEST_F(MeasurementFileTest, SavingThroughALinkReplacesTheLinkedFile) {
    auto record = SampleRecord();
    fs::create_directories(Dir / "classe");
    WriteAll(Dir / "classe" / "tp.mrs", Bytes(10, 1));
    fs::create_symlink(Dir / "classe" / "tp.mrs", Dir / "lien.mrs");
    ASSERT_EQ(SaveMeasurementFile(*record, Dir / "lien.mrs"), SaveResult::Saved);
    EXPECT_TRUE(fs::is_symlink(Dir / "lien.mrs"));
    EXPECT_EQ(ReadAll(Dir / "classe" / "tp.mrs"), BytesOf(*record));
}

TEST_F(MeasurementFileTest, CommandLineLoadsOnlyExistingMrsFiles) {
    WriteAll(Dir / "TP1.MRS", {});
    WriteAll(Dir / "tp2.Mrs", {});
    WriteAll(Dir / "tp3.txt", {});
    WriteAll(Dir / "tp4.mrs.bak", {});
    fs::create_directories(Dir / "dossier.mrs");
    struct Case {
        fs::path path;
        bool exists, load;
    };
    const Case cases[] = {
        {Dir / "TP1.MRS", true, true},      {Dir / "tp2.Mrs", true, true},
        {Dir / "tp3.txt", true, false},     {Dir / "tp4.mrs.bak", true, false},
        {Dir / "absent.mrs", false, false}, {Dir / "dossier.mrs", false, false},
    };
    for (const Case& c : cases) {
        CommandLineFile file = InspectCommandLineFile(c.path.string());
        EXPECT_EQ(file.Exists, c.exists) << c.path;
        EXPECT_EQ(file.Load, c.load) << c.path;
        EXPECT_EQ(file.FileName, c.exists ? c.path.filename().string() : "") << c.path;
    }
    EXPECT_FALSE(InspectCommandLineFile("").Exists);
    // Only the last extension counts, and a dot in a folder name is no extension.
    EXPECT_TRUE(HasMeasurementExtension("a.b.mRs"));
    EXPECT_FALSE(HasMeasurementExtension("mesures.mrs/fichier"));
    EXPECT_FALSE(HasMeasurementExtension("mrs"));
}

TEST_F(MeasurementFileTest, CommandLineFileHoldingNoSeriesIsIgnored) {
    auto file = SampleRecord();
    file->SeriesCount = 0;
    WriteAll(Dir / "vide.mrs", BytesOf(*file));
    CommandLineFile arg = InspectCommandLineFile((Dir / "vide.mrs").string());
    ASSERT_TRUE(arg.Load);
    auto record = SampleRecord();
    const Bytes before = BytesOf(*record);
    EXPECT_EQ(LoadMeasurementFile(arg.Path, *record), LoadResult::NoSeries);
    EXPECT_EQ(BytesOf(*record), before);
}

} // namespace
