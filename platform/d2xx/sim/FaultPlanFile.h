// A fault plan for people: a text file that says which faults the simulated
// interface shows, and when, so that a person or a script can try them on the
// running programs (INTERFACE_MESURE=simulateur with
// INTERFACE_MESURE_PANNES=<file>). The file is read at start and read again
// whenever it changes.
//
// One step a line; "#" starts a comment; words are separated by blanks:
//
//     [at <seconds>] <fault> [<value>] [<command>] [next <n> | for <seconds>]
//
//     NoAnswer AA next 3          the next three readings get no answer
//     at 5 DeviceGone             the interface is unplugged 5 s after reading
//     at 12 DeviceBack            and plugged in again
//     at 3 GarbageStatus 0xAA E1 for 4
//     LateAnswer 800 C0           blocks answered 800 ms late
//     TruncatedAnswer 3 EE        memory reads cut after 3 bytes
//     at 8 Swap 1 B               the sensor on voie 1 becomes fixture B
//     at 9 Unplug 2               the sensor of voie 2 is pulled out
//     at 10 Plug 2 C              a fixture plugged on voie 2
//
// Times count in seconds (a decimal point or comma) from the moment the file
// was read; a step without "at" applies at once. Faults are those of the
// simulator (FaultKind names, any letter case) with their value: LateAnswer
// and SlowTx in ms, TruncatedAnswer, ExtraBytes and ShortWrite in bytes,
// GarbageStatus and PresenceByte a byte (decimal or 0x..), WriteProtect nak
// or silent. Commands: E1, E5, EE, AA, E3, E6, E3/E6, C0, any (the default).
// Scope: the next n frames, a window of seconds from the step's time, or all
// frames (the default). Besides them: DeviceGone, DeviceBack, StrayByte
// [byte], LongDescription <length>, Unplug <voie>, Plug <voie> <fixture>,
// Swap <voie> <fixture> (voie 1 or 2; fixtures A, B, C, C2, D, M, U, U0).
//
// A changed file replaces the plan: the faults armed are disarmed, and the
// new steps count their times from the new reading. What already happened
// (a device gone, a sensor swapped) stays until a step undoes it.
#pragma once

#include "d2xx/ftd2xx.h"
#include "d2xx/sim/Sim.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// The environment variable that names the plan's file.
constexpr const char* FaultPlanVariable = "INTERFACE_MESURE_PANNES";

struct PlanStep {
    enum class Action {
        ArmFault,
        DeviceGone,
        DeviceBack,
        StrayByte,
        LongDescription,
        Unplug,
        Plug,
        Swap,
    };
    Action What = Action::ArmFault;
    int64_t AtUs = 0; // from the reading of the plan
    // ArmFault: kind, command and value; its scope is set when it is armed.
    Fault Armed;
    int NextCount = 0;      // "next n": the next n frames
    int64_t DurationUs = 0; // "for s": a window from the step's time
    int Channel = 0;        // Unplug, Plug, Swap: 0 (voie 1) or 1
    MemoryImage Memory{};   // Plug, Swap
    int64_t Value = 0;      // StrayByte, LongDescription
};

struct ParsedPlan {
    std::vector<PlanStep> Steps;
    // "line 3: unknown fault "NoAnswr"", one for each line left out.
    std::vector<std::string> Errors;
};

ParsedPlan ParseFaultPlan(std::string_view text);

// Applies a plan's steps to a device as their times come.
class PlanRunner {
public:
    explicit PlanRunner(SimDevice& device) : Device(device) {}
    // Disarms the device's faults and starts plan, its times from nowUs.
    void Start(ParsedPlan plan, int64_t nowUs);
    // Applies every step that is due at nowUs.
    void Update(int64_t nowUs);

private:
    void Apply(const PlanStep& step, int64_t nowUs);

    SimDevice& Device;
    std::vector<PlanStep> Waiting;
    int64_t StartUs = 0;
};

// The simulated driver with a plan file watched: before a driver call, at
// most every 200 ms, the file is looked at and read again when it changed;
// then the steps that are due apply. Errors of the file go to standard error.
class FaultPlanDriver final : public d2xx::Driver {
public:
    FaultPlanDriver(std::unique_ptr<SimD2xx> simulated, std::filesystem::path planFile);

    FT_STATUS ListDevices(void* arg1, void* arg2, DWORD flags) override;
    FT_STATUS OpenEx(void* arg1, DWORD flags, FT_HANDLE* handle) override;
    FT_STATUS Close(FT_HANDLE handle) override;
    FT_STATUS ResetDevice(FT_HANDLE handle) override;
    FT_STATUS Purge(FT_HANDLE handle, ULONG mask) override;
    FT_STATUS GetQueueStatus(FT_HANDLE handle, DWORD* rxBytes) override;
    FT_STATUS Write(FT_HANDLE handle, void* buffer, DWORD toWrite, DWORD* written) override;
    FT_STATUS Read(FT_HANDLE handle, void* buffer, DWORD toRead, DWORD* read) override;

    SimD2xx& Simulated() { return *Inner; }

private:
    // Reads the file again when it changed, then applies the due steps.
    void Watch();

    std::unique_ptr<SimD2xx> Inner;
    std::filesystem::path PlanFile;
    PlanRunner Runner;
    int64_t LastLookUs = 0;
    bool Looked = false;
    std::string LastContent;
    bool HadFile = false;
};

} // namespace sim
