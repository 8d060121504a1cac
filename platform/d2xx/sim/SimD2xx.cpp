// The D2XX driver calls over the simulated bus.
#include "d2xx/sim/Sim.h"
#include "d2xx/sim/SimDeviceState.h"

#include "core/Clock.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace sim {

// ---- bus

SimBus::SimBus() : Origin(platform::CurrentClock().NowUs()) {}

SimDevice& SimBus::AddDevice(std::string description) {
    Devices.push_back(std::make_unique<SimDevice>(*this, static_cast<int>(Devices.size()),
                                                  std::move(description)));
    return *Devices.back();
}

void SimBus::SetCallCostUs(uint32_t us) {
    CostUs = std::clamp<uint32_t>(us, 1, 100);
}

// ---- driver

namespace {

std::string HexOf(const uint8_t* bytes, std::size_t count) {
    std::string text;
    char part[4];
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(part, sizeof part, "%02X", bytes[i]);
        if (i)
            text += ' ';
        text += part;
    }
    return text;
}

std::string SerialOf(const SimDevice& device) {
    char text[16];
    std::snprintf(text, sizeof text, "SIMU%04d", device.Index() + 1);
    return text;
}

} // namespace

SimD2xx::SimD2xx(SimBus& bus) : BusRef(&bus) {}

SimD2xx::SimD2xx(std::unique_ptr<SimBus> bus) : OwnedBus(std::move(bus)), BusRef(OwnedBus.get()) {}

SimD2xx::~SimD2xx() = default;

void SimD2xx::UpdateAll() {
    CallStartUs = platform::CurrentClock().NowUs();
    for (std::size_t i = 0; i < BusRef->DeviceCount(); ++i)
        BusRef->Device(i).Update(CallStartUs);
}

SimD2xx::Call SimD2xx::Begin(FT_HANDLE handle) {
    UpdateAll();
    HandleRecord* found = Find(handle);
    return {found ? found->Device : nullptr, Check(found)};
}

FT_STATUS SimD2xx::End(SimDevice* device, ApiCall call, FT_STATUS status, uint32_t bytes,
                       uint64_t arg1, std::string text, bool poll) {
    ApiRecord record;
    record.Call = call;
    record.Status = status;
    record.Bytes = bytes;
    record.Arg1 = arg1;
    record.Text = std::move(text);
    Log(device, std::move(record));
    Finish(device, poll);
    if (!poll)
        LastPoll = {};
    return status;
}

SimD2xx::HandleRecord* SimD2xx::Find(FT_HANDLE handle) {
    for (auto& record : Handles)
        if (static_cast<void*>(&record) == handle)
            return &record;
    return nullptr;
}

FT_STATUS SimD2xx::Check(HandleRecord* record) {
    if (!record || record->Closed)
        return FT_INVALID_HANDLE;
    if (!record->Device->State->Present || record->Generation != record->Device->Generation())
        return FT_IO_ERROR;
    return FT_OK;
}

void SimD2xx::Log(SimDevice* device, ApiRecord record) {
    record.TimeUs = CallStartUs;
    if (device) {
        record.Device = device->Index();
        device->Log().AddApi(std::move(record));
        return;
    }
    for (std::size_t i = 0; i < BusRef->DeviceCount(); ++i)
        BusRef->Device(i).Log().AddApi(record);
}

void SimD2xx::Finish(SimDevice* device, bool poll) {
    platform::VirtualClock* clock = platform::CurrentVirtualClock();
    if (!clock)
        return; // the real clock: calls cost what they cost, no spin guard
    if (poll && device) {
        if (SpinDevice == device && CallStartUs == SpinEndUs) {
            ++SpinPolls;
            if (CallStartUs - SpinStartUs > static_cast<int64_t>(device->SpinGuardMs) * 1000) {
                const auto& last = device->State->LastWritten;
                std::fprintf(stderr,
                             "Simulated interface: %lld queue polls without pause since "
                             "t = %.3f ms (now %.3f ms, limit %u ms); last frame written: %s\n",
                             static_cast<long long>(SpinPolls),
                             static_cast<double>(SpinStartUs) / 1000.0,
                             static_cast<double>(CallStartUs) / 1000.0, device->SpinGuardMs,
                             last.empty() ? "none" : HexOf(last.data(), last.size()).c_str());
                std::fflush(stderr);
                std::abort();
            }
        } else {
            SpinDevice = device;
            SpinStartUs = CallStartUs;
            SpinPolls = 1;
        }
    } else {
        SpinDevice = nullptr;
    }
    clock->AdvanceUs(BusRef->CallCostUs());
    if (poll)
        SpinEndUs = clock->NowUs();
}

namespace {

bool AnyPlanHas(SimBus& bus, SimDevice* device, FaultKind kind, int64_t nowUs) {
    if (bus.Faults().Has(kind, Command::Any, nowUs))
        return true;
    if (device)
        return device->Faults().Has(kind, Command::Any, nowUs);
    bool found = false;
    for (std::size_t i = 0; i < bus.DeviceCount(); ++i)
        found = bus.Device(i).Faults().Has(kind, Command::Any, nowUs) || found;
    return found;
}

} // namespace

FT_STATUS SimD2xx::ListDevices(void* arg1, void* arg2, DWORD flags) {
    UpdateAll();
    std::vector<SimDevice*> present;
    for (std::size_t i = 0; i < BusRef->DeviceCount(); ++i)
        if (BusRef->Device(i).State->Present)
            present.push_back(&BusRef->Device(i));
    ApiRecord record;
    record.Call = ApiCall::ListDevices;
    record.Arg2 = flags;
    SimDevice* device = nullptr;
    FT_STATUS status = FT_OK;
    if (flags & FT_LIST_NUMBER_ONLY) {
        if (!arg1) {
            status = FT_INVALID_PARAMETER;
        } else if (AnyPlanHas(*BusRef, nullptr, FaultKind::ListFails, CallStartUs)) {
            status = FT_IO_ERROR;
        } else {
            *static_cast<DWORD*>(arg1) = static_cast<DWORD>(present.size());
            record.Bytes = static_cast<uint32_t>(present.size());
        }
    } else if (flags & FT_LIST_BY_INDEX) {
        auto index = static_cast<std::size_t>(reinterpret_cast<uintptr_t>(arg1));
        record.Arg1 = index;
        bool byDescription = (flags & FT_OPEN_BY_DESCRIPTION) != 0;
        bool bySerial = (flags & FT_OPEN_BY_SERIAL_NUMBER) != 0;
        if (!arg2 || byDescription == bySerial) {
            status = FT_INVALID_PARAMETER;
        } else if (index >= present.size()) {
            status = FT_DEVICE_NOT_FOUND;
        } else {
            device = present[index];
            if (AnyPlanHas(*BusRef, device, FaultKind::DescriptionFails, CallStartUs)) {
                status = FT_DEVICE_NOT_FOUND;
            } else {
                std::string text =
                    byDescription ? device->ReportedDescription() : SerialOf(*device);
                std::memcpy(arg2, text.c_str(), text.size() + 1);
                record.Text = text;
                record.Bytes = static_cast<uint32_t>(text.size());
            }
        }
    } else {
        status = FT_INVALID_PARAMETER;
    }
    record.Status = status;
    Log(device, std::move(record));
    Finish(device, false);
    return status;
}

FT_STATUS SimD2xx::OpenEx(void* arg1, DWORD flags, FT_HANDLE* handle) {
    UpdateAll();
    ApiRecord record;
    record.Call = ApiCall::OpenEx;
    record.Arg2 = flags;
    SimDevice* device = nullptr;
    FT_STATUS status = FT_OK;
    if (!arg1 || !handle ||
        (flags != FT_OPEN_BY_DESCRIPTION && flags != FT_OPEN_BY_SERIAL_NUMBER)) {
        status = FT_INVALID_PARAMETER;
    } else {
        std::string wanted = static_cast<const char*>(arg1);
        record.Text = wanted;
        for (std::size_t i = 0; i < BusRef->DeviceCount() && !device; ++i) {
            SimDevice& candidate = BusRef->Device(i);
            std::string name = flags == FT_OPEN_BY_DESCRIPTION ? candidate.ReportedDescription()
                                                               : SerialOf(candidate);
            if (candidate.State->Present && name == wanted)
                device = &candidate;
        }
        if (!device) {
            status = FT_DEVICE_NOT_FOUND;
        } else {
            bool fails = AnyPlanHas(*BusRef, device, FaultKind::OpenFails, CallStartUs);
            bool busy = AnyPlanHas(*BusRef, device, FaultKind::Busy, CallStartUs);
            if (fails || busy || device->IsOpened) {
                status = FT_DEVICE_NOT_OPENED;
            } else {
                device->IsOpened = true;
                Handles.push_back({device, device->Generation(), false});
                *handle = &Handles.back();
            }
        }
    }
    record.Status = status;
    Log(device, std::move(record));
    Finish(device, false);
    return status;
}

FT_STATUS SimD2xx::Close(FT_HANDLE handle) {
    UpdateAll();
    HandleRecord* found = Find(handle);
    SimDevice* device = found ? found->Device : nullptr;
    FT_STATUS status = FT_OK;
    if (!found || found->Closed) {
        status = FT_INVALID_HANDLE;
    } else {
        found->Closed = true;
        if (found->Generation == device->Generation())
            device->IsOpened = false;
    }
    return End(device, ApiCall::Close, status);
}

FT_STATUS SimD2xx::ResetDevice(FT_HANDLE handle) {
    auto [device, status] = Begin(handle);
    if (status == FT_OK) {
        if (device->Faults().Has(FaultKind::ResetFails, Command::Any, CallStartUs)) {
            status = FT_IO_ERROR;
        } else {
            auto& s = *device->State;
            s.Queue.clear();
            s.Chunks.clear();
            s.Flight.clear();
            s.Partial.clear();
            s.OutputFreeUs = 0;
        }
    }
    return End(device, ApiCall::ResetDevice, status);
}

FT_STATUS SimD2xx::Purge(FT_HANDLE handle, ULONG mask) {
    auto [device, status] = Begin(handle);
    uint32_t dropped = 0;
    if (status == FT_OK) {
        auto& s = *device->State;
        if ((mask & (FT_PURGE_RX | FT_PURGE_TX)) == 0) {
            status = FT_INVALID_PARAMETER;
        } else if (device->Faults().Has(FaultKind::PurgeFails, Command::Any, CallStartUs)) {
            status = FT_IO_ERROR;
        } else {
            if (mask & FT_PURGE_RX) {
                dropped += static_cast<uint32_t>(s.Queue.size());
                s.Queue.clear();
            }
            if (mask & FT_PURGE_TX) {
                dropped += static_cast<uint32_t>(s.Flight.size());
                s.Flight.clear();
            }
        }
    }
    return End(device, ApiCall::Purge, status, dropped, mask);
}

FT_STATUS SimD2xx::GetQueueStatus(FT_HANDLE handle, DWORD* rxBytes) {
    auto [device, status] = Begin(handle);
    uint32_t count = 0;
    if (status == FT_OK) {
        if (!rxBytes) {
            status = FT_INVALID_PARAMETER;
        } else if (device->Faults().Has(FaultKind::PollFails, device->State->LastWrittenKind,
                                        CallStartUs)) {
            status = FT_IO_ERROR;
        } else {
            count = static_cast<uint32_t>(device->State->Queue.size());
            if (!platform::CurrentVirtualClock() && count == PolledCount(device)) {
                WaitForNextByte(*device);
                count = static_cast<uint32_t>(device->State->Queue.size());
            }
            *rxBytes = count;
            LastPoll = {device, count};
        }
    }
    return End(device, ApiCall::GetQueueStatus, status, count, 0, {}, true);
}

int64_t SimD2xx::PolledCount(const SimDevice* device) const {
    return LastPoll.Device == device ? LastPoll.Count : -1;
}

void SimD2xx::WaitForNextByte(SimDevice& device) {
    const auto& s = *device.State;
    int64_t until = CallStartUs + EmptyPollWaitUs;
    if (!s.Chunks.empty())
        until = std::min(until, s.Chunks.front().DueUs);
    if (!s.Flight.empty())
        until = std::min(until, s.Flight.front().AtUs);
    if (until > CallStartUs)
        std::this_thread::sleep_for(std::chrono::microseconds(until - CallStartUs));
    UpdateAll();
}

FT_STATUS SimD2xx::Write(FT_HANDLE handle, void* buffer, DWORD toWrite, DWORD* written) {
    auto [device, status] = Begin(handle);
    DWORD taken = 0;
    std::string text;
    if (status == FT_OK && (!written || (toWrite > 0 && !buffer)))
        status = FT_INVALID_PARAMETER;
    if (status == FT_OK) {
        const auto* bytes = static_cast<const uint8_t*>(buffer);
        Command kind = toWrite >= 2 ? CommandOfCode(bytes[1]) : Command::Unknown;
        auto& s = *device->State;
        FaultPlan& plan = device->Faults();
        s.LastWritten.assign(bytes, bytes + toWrite);
        s.LastWrittenKind = kind;
        if (plan.Has(FaultKind::WriteFails, kind, CallStartUs)) {
            status = FT_IO_ERROR;
        } else {
            taken = toWrite;
            for (const Fault& f : plan.Take(FaultKind::ShortWrite, kind, CallStartUs))
                taken = std::min<DWORD>(taken, static_cast<DWORD>(std::max<int64_t>(0, f.Param)));
            int64_t at = CallStartUs + device->Latency.TxUs;
            for (const Fault& f : plan.Take(FaultKind::SlowTx, kind, CallStartUs))
                at += f.Param;
            if (!s.Flight.empty())
                at = std::max(at, s.Flight.back().AtUs);
            for (DWORD i = 0; i < taken; ++i)
                s.Flight.push_back({at, bytes[i]});
            text = HexOf(bytes, taken);
        }
    }
    if (written)
        *written = taken;
    return End(device, ApiCall::Write, status, taken, toWrite, std::move(text));
}

FT_STATUS SimD2xx::Read(FT_HANDLE handle, void* buffer, DWORD toRead, DWORD* read) {
    auto [device, status] = Begin(handle);
    DWORD count = 0;
    std::string text;
    if (status == FT_OK && (!read || (toRead > 0 && !buffer)))
        status = FT_INVALID_PARAMETER;
    if (status == FT_OK) {
        auto& s = *device->State;
        if (device->Faults().Has(FaultKind::ReadFails, s.LastWrittenKind, CallStartUs)) {
            status = FT_IO_ERROR;
        } else {
            count = static_cast<DWORD>(std::min<std::size_t>(toRead, s.Queue.size()));
            auto* out = static_cast<uint8_t*>(buffer);
            std::copy(s.Queue.begin(), s.Queue.begin() + count, out);
            s.Queue.erase(s.Queue.begin(), s.Queue.begin() + count);
            text = HexOf(out, std::min<DWORD>(count, 16));
        }
    }
    if (read)
        *read = count;
    return End(device, ApiCall::Read, status, count, toRead, std::move(text));
}

} // namespace sim
