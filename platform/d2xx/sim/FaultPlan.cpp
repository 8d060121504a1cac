#include "d2xx/sim/Sim.h"

namespace sim {

Command CommandOfCode(uint8_t code) {
    switch (code) {
    case 0xE1:
        return Command::E1;
    case 0xE5:
        return Command::E5;
    case 0xEE:
        return Command::EE;
    case 0xAA:
        return Command::AA;
    case 0xE3:
        return Command::E3;
    case 0xE6:
        return Command::E6;
    case 0xC0:
        return Command::C0;
    default:
        return Command::Unknown;
    }
}

const char* CommandName(Command kind) {
    switch (kind) {
    case Command::Any:
        return "any";
    case Command::E1:
        return "E1";
    case Command::E5:
        return "E5";
    case Command::EE:
        return "EE";
    case Command::AA:
        return "AA";
    case Command::E3:
        return "E3";
    case Command::E6:
        return "E6";
    case Command::E3E6:
        return "E3/E6";
    case Command::C0:
        return "C0";
    case Command::Unknown:
        break;
    }
    return "unknown";
}

bool CommandMatches(Command target, Command actual) {
    if (target == Command::Any || target == actual)
        return true;
    return target == Command::E3E6 && (actual == Command::E3 || actual == Command::E6);
}

const char* FaultName(FaultKind kind) {
    switch (kind) {
    case FaultKind::NoAnswer:
        return "NoAnswer";
    case FaultKind::LateAnswer:
        return "LateAnswer";
    case FaultKind::GarbageStatus:
        return "GarbageStatus";
    case FaultKind::TruncatedAnswer:
        return "TruncatedAnswer";
    case FaultKind::ExtraBytes:
        return "ExtraBytes";
    case FaultKind::WriteProtect:
        return "WriteProtect";
    case FaultKind::PresenceByte:
        return "PresenceByte";
    case FaultKind::ShortWrite:
        return "ShortWrite";
    case FaultKind::WriteFails:
        return "WriteFails";
    case FaultKind::ReadFails:
        return "ReadFails";
    case FaultKind::PollFails:
        return "PollFails";
    case FaultKind::ListFails:
        return "ListFails";
    case FaultKind::DescriptionFails:
        return "DescriptionFails";
    case FaultKind::OpenFails:
        return "OpenFails";
    case FaultKind::Busy:
        return "Busy";
    case FaultKind::SlowTx:
        return "SlowTx";
    case FaultKind::ResetFails:
        return "ResetFails";
    case FaultKind::PurgeFails:
        return "PurgeFails";
    }
    return "?";
}

int FaultPlan::Add(const Fault& fault) {
    Faults.push_back(fault);
    return static_cast<int>(Faults.size()) - 1;
}

void FaultPlan::Remove(int index) {
    if (index >= 0 && index < static_cast<int>(Faults.size()))
        Faults[static_cast<std::size_t>(index)].reset();
}

void FaultPlan::Clear() {
    Faults.clear();
    Events.clear();
    DescriptionLength.reset();
}

int FaultPlan::NoAnswer(Command target, Scope when) {
    return Add({FaultKind::NoAnswer, target, when, 0});
}
int FaultPlan::LateAnswer(int64_t delayMs, Command target, Scope when) {
    return Add({FaultKind::LateAnswer, target, when, Ms(delayMs)});
}
int FaultPlan::GarbageStatus(uint8_t status, Command target, Scope when) {
    return Add({FaultKind::GarbageStatus, target, when, status});
}
int FaultPlan::TruncatedAnswer(int bytes, Command target, Scope when) {
    return Add({FaultKind::TruncatedAnswer, target, when, bytes});
}
int FaultPlan::ExtraBytes(int bytes, Command target, Scope when) {
    return Add({FaultKind::ExtraBytes, target, when, bytes});
}
int FaultPlan::WriteProtect(WriteProtectMode mode, Scope when) {
    return Add(
        {FaultKind::WriteProtect, Command::E3E6, when, mode == WriteProtectMode::Silent ? 1 : 0});
}
int FaultPlan::PresenceByte(uint8_t value, Command target, Scope when) {
    return Add({FaultKind::PresenceByte, target, when, value});
}
int FaultPlan::ShortWrite(int bytes, Command target, Scope when) {
    return Add({FaultKind::ShortWrite, target, when, bytes});
}
int FaultPlan::WriteFails(Command target, Scope when) {
    return Add({FaultKind::WriteFails, target, when, 0});
}
int FaultPlan::ReadFails(Command target, Scope when) {
    return Add({FaultKind::ReadFails, target, when, 0});
}
int FaultPlan::PollFails(Command target, Scope when) {
    return Add({FaultKind::PollFails, target, when, 0});
}
int FaultPlan::ListFails(Scope when) {
    return Add({FaultKind::ListFails, Command::Any, when, 0});
}
int FaultPlan::DescriptionFails(Scope when) {
    return Add({FaultKind::DescriptionFails, Command::Any, when, 0});
}
int FaultPlan::OpenFails(Scope when) {
    return Add({FaultKind::OpenFails, Command::Any, when, 0});
}
int FaultPlan::Busy(Scope when) {
    return Add({FaultKind::Busy, Command::Any, when, 0});
}
int FaultPlan::SlowTx(int64_t delayMs, Scope when) {
    return Add({FaultKind::SlowTx, Command::Any, when, Ms(delayMs)});
}
int FaultPlan::ResetFails(Scope when) {
    return Add({FaultKind::ResetFails, Command::Any, when, 0});
}
int FaultPlan::PurgeFails(Scope when) {
    return Add({FaultKind::PurgeFails, Command::Any, when, 0});
}

void FaultPlan::StrayByte(int64_t atUs, uint8_t value) {
    Events.push_back({atUs, TimedEvent::What::StrayByte, value});
}
void FaultPlan::DeviceGone(int64_t atUs) {
    Events.push_back({atUs, TimedEvent::What::Gone, 0});
}
void FaultPlan::DeviceBack(int64_t atUs) {
    Events.push_back({atUs, TimedEvent::What::Back, 0});
}
void FaultPlan::LongDescription(int length) {
    DescriptionLength = length < 0 ? 0 : length;
}

std::vector<Fault> FaultPlan::Take(FaultKind kind, Command actual, int64_t timeUs, bool consume) {
    std::vector<Fault> found;
    for (auto& slot : Faults) {
        if (!slot || slot->Kind != kind || !CommandMatches(slot->Target, actual))
            continue;
        Scope& when = slot->When;
        bool applies = false;
        switch (when.Kind) {
        case Scope::Type::All:
            applies = true;
            break;
        case Scope::Type::NextN:
            applies = when.Count > 0;
            break;
        case Scope::Type::Window:
            applies = timeUs >= when.FromUs && timeUs < when.ToUs;
            break;
        }
        if (!applies)
            continue;
        found.push_back(*slot);
        if (consume && when.Kind == Scope::Type::NextN && --when.Count <= 0)
            slot.reset();
    }
    return found;
}

bool FaultPlan::Has(FaultKind kind, Command actual, int64_t timeUs, bool consume) {
    return !Take(kind, actual, timeUs, consume).empty();
}

} // namespace sim
