// The faults of the simulated interface, as a table for tests that try each
// of them on each exchange of a loop: a name, how to arm it (on frames of a
// command kind, from now on), whether it concerns the whole device (the kind
// then plays no part), and whether it is one lost or late answer, after which
// a measurement simply goes on.
#pragma once

#include "d2xx/sim/Sim.h"

#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace faultcases {

struct FaultCase {
    const char* Name;
    std::function<void(sim::FaultPlan&, sim::Command, int64_t nowUs)> Arm;
    bool DeviceLevel = false;
    bool GoesOn = false;
};

inline const std::vector<FaultCase>& Faults() {
    static const std::vector<FaultCase> faults = {
        {"NoAnswer", [](auto& f, auto kind, auto) { f.NoAnswer(kind); }},
        {"OneNoAnswer", [](auto& f, auto kind, auto) { f.NoAnswer(kind, sim::Scope::Next()); },
         false, true},
        {"LateAnswer", [](auto& f, auto kind, auto) { f.LateAnswer(1040, kind); }},
        // Just after a block's bound (95 x 0,5 ms + 1 s).
        {"OneLateAnswer",
         [](auto& f, auto kind, auto) { f.LateAnswer(1040, kind, sim::Scope::Next()); }, false,
         true},
        {"GarbageStatus", [](auto& f, auto kind, auto) { f.GarbageStatus(0x00, kind); }},
        {"TruncatedAnswer", [](auto& f, auto kind, auto) { f.TruncatedAnswer(1, kind); }},
        {"HalfAnswer", [](auto& f, auto kind, auto) { f.TruncatedAnswer(200, kind); }},
        {"ExtraBytes", [](auto& f, auto kind, auto) { f.ExtraBytes(3, kind); }},
        {"ShortWrite", [](auto& f, auto kind, auto) { f.ShortWrite(1, kind); }},
        {"WriteFails", [](auto& f, auto kind, auto) { f.WriteFails(kind); }},
        {"ReadFails", [](auto& f, auto kind, auto) { f.ReadFails(kind); }},
        {"PollFails", [](auto& f, auto kind, auto) { f.PollFails(kind); }},
        {"PresenceByte", [](auto& f, auto kind, auto) { f.PresenceByte(2, kind); }},
        {"DeviceGone", [](auto& f, auto, auto now) { f.DeviceGone(now + 5000); }, true},
        {"DeviceGoneAndBack",
         [](auto& f, auto, auto now) {
             f.DeviceGone(now + 5000);
             f.DeviceBack(now + 3'000'000);
         },
         true},
        {"SlowTx", [](auto& f, auto, auto) { f.SlowTx(30); }, true},
        {"PurgeFails", [](auto& f, auto, auto) { f.PurgeFails(); }, true},
        {"StrayBytes",
         [](auto& f, auto, auto now) {
             for (int ms = 1; ms < 4000; ms += 37)
                 f.StrayByte(now + ms * 1000);
         },
         true},
    };
    return faults;
}

// Each fault of a frame on each of kinds, each fault of the device once; as
// (index in Faults(), kind).
inline std::vector<std::tuple<int, sim::Command>> Cases(std::vector<sim::Command> kinds) {
    std::vector<std::tuple<int, sim::Command>> cases;
    for (int f = 0; f < static_cast<int>(Faults().size()); ++f)
        for (sim::Command kind : kinds)
            if (!Faults()[f].DeviceLevel || kind == sim::Command::Any)
                cases.emplace_back(f, kind);
    return cases;
}

// "NoAnswer_C0", ... for test names.
inline std::string CaseName(const std::tuple<int, sim::Command>& c) {
    std::string kind = sim::CommandName(std::get<1>(c));
    std::erase(kind, '/');
    return std::string(Faults()[std::get<0>(c)].Name) + "_" + kind;
}

} // namespace faultcases
