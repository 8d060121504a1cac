// The simulated device: USB side (bytes in flight, answer chunks, receive
// queue) and firmware side (frame parser, command handler, pending block).
#include "d2xx/sim/Sim.h"
#include "d2xx/sim/SimDeviceState.h"

#include "core/Clock.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace sim {

namespace {

// Sample instants are counted in 1/1024 µs so that every sampling interval of
// the block table is a whole number.
constexpr int64_t UnitsPerUs = 1024;
constexpr int64_t Never = std::numeric_limits<int64_t>::max();
constexpr int BlockSamples = 95;
constexpr int64_t ParserGapUs = 20000;
constexpr uint8_t Ack = 0x55;
constexpr uint8_t JunkByte = 0xA5;

int64_t CeilUs(int64_t units) {
    return units >= 0 ? (units + UnitsPerUs - 1) / UnitsPerUs : units / UnitsPerUs;
}

// The number of bytes a valid frame of this code carries after its length
// byte and before its check byte.
int FrameLength(Command kind) {
    switch (kind) {
    case Command::E1:
    case Command::E5:
    case Command::AA:
        return 1;
    case Command::EE:
        return 2;
    case Command::E3:
    case Command::E6:
        return 3;
    case Command::C0:
        return 8;
    default:
        return -1;
    }
}

bool ValidLengthByte(uint8_t n) {
    return n == 1 || n == 2 || n == 3 || n == 8;
}

// The sampling interval of timing bytes (A, B, C) in 1/1024 µs; 0 when the
// device does not know the row.
int64_t IntervalUnits(uint8_t a, uint8_t b, uint8_t c) {
    int64_t bc = static_cast<int64_t>(b) * c;
    switch (a) {
    case 4:
        return 1000 * bc;
    case 5:
        return 4000 * bc;
    case 6:
        return 16000 * bc;
    default:
        return 0;
    }
}

} // namespace

const char* PolicyName(ArmedPolicy policy) {
    switch (policy) {
    case ArmedPolicy::Cancel:
        return "Cancel";
    case ArmedPolicy::Discard:
        return "Discard";
    case ArmedPolicy::Queue:
        return "Queue";
    }
    return "?";
}

SimDevice::SimDevice(SimBus& bus, int index, std::string description)
    : Description(std::move(description)), Owner(bus), BusIndex(index),
      State(std::make_unique<Impl>()) {}

SimDevice::~SimDevice() = default;

SensorSlot& SimDevice::Slot(int ch) {
    if (ch < 0 || ch > 1)
        throw std::out_of_range("sensor slot index");
    Update(platform::CurrentClock().NowUs());
    return Slots[static_cast<std::size_t>(ch)];
}

FaultPlan& SimDevice::Faults() {
    Update(platform::CurrentClock().NowUs());
    return Plan;
}

SimLog& SimDevice::Log() {
    Update(platform::CurrentClock().NowUs());
    return History;
}

// ---- slots

void SensorSlot::Plug(const MemoryImage& memory) {
    Bytes = memory;
    IsPlugged = true;
}

MemoryImage SensorSlot::Unplug() {
    IsPlugged = false;
    return Bytes;
}

void SensorSlot::Replace(const MemoryImage& memory) {
    Plug(memory);
}

// ---- state queries

bool SimDevice::Present() {
    Update(platform::CurrentClock().NowUs());
    return State->Present;
}

std::size_t SimDevice::QueueSize() {
    Update(platform::CurrentClock().NowUs());
    return State->Queue.size();
}

bool SimDevice::BlockPending() {
    Update(platform::CurrentClock().NowUs());
    return State->Pending.has_value();
}

std::string SimDevice::ReportedDescription() const {
    std::string text = Description;
    if (Plan.DescriptionLength) {
        static const char Digits[] = "0123456789";
        std::size_t length = static_cast<std::size_t>(*Plan.DescriptionLength);
        for (std::size_t i = 0; text.size() < length; ++i)
            text += Digits[i % 10];
        text.resize(length);
    }
    if (text.size() > FT_DESCRIPTION_SIZE - 1)
        text.resize(FT_DESCRIPTION_SIZE - 1);
    return text;
}

void SimDevice::Disconnect() {
    Plan.DeviceGone(platform::CurrentClock().NowUs());
    Update(platform::CurrentClock().NowUs());
}

void SimDevice::Reconnect() {
    Plan.DeviceBack(platform::CurrentClock().NowUs());
    Update(platform::CurrentClock().NowUs());
}

void SimDevice::FeedParser(const std::vector<uint8_t>& bytes, std::optional<int64_t> atUs) {
    int64_t now = platform::CurrentClock().NowUs();
    Update(now);
    int64_t at = atUs.value_or(now);
    if (!State->Flight.empty())
        at = std::max(at, State->Flight.back().AtUs);
    for (uint8_t byte : bytes)
        State->Flight.push_back({at, byte});
    Update(now);
}

// ---- firmware

namespace {

// The helpers of the evaluation, with access to the device's parts.
class Firmware {
public:
    Firmware(SimDevice& device, SimDevice::Impl& state, FaultPlan& plan, SimLog& log,
             std::array<SensorSlot, 2>& slots)
        : Device(device), S(state), Plan(plan), Log(log), Slots(slots) {}

    void Run(int64_t nowUs);
    void Gone(int64_t atUs);

private:
    void Deliver(uint8_t byte, int64_t atUs);
    void Complete(std::vector<uint8_t> bytes, int64_t atUs);
    void Handle(int64_t recordId, const std::vector<uint8_t>& bytes, int64_t atUs);
    void Advance(int64_t toUnits);
    void Schedule(std::vector<uint8_t> answer, int64_t readyUs, const AnswerFaults& faults,
                  int64_t recordId);
    AnswerFaults ResolveFaults(Command kind, int64_t atUs);
    uint16_t SampleAt(int ch, int64_t units);
    void Reject(std::vector<uint8_t> bytes, int64_t atUs, Command kind, const char* reason);

    SimDevice& Device;
    SimDevice::Impl& S;
    FaultPlan& Plan;
    SimLog& Log;
    std::array<SensorSlot, 2>& Slots;
};

uint16_t Firmware::SampleAt(int ch, int64_t units) {
    SensorSlot& slot = Slots[static_cast<std::size_t>(ch)];
    if (!slot.Plugged())
        return slot.UnpluggedValue;
    int64_t origin = Device.Bus().OriginUs() * UnitsPerUs;
    double seconds = static_cast<double>(units - origin) / (1e6 * UnitsPerUs);
    return slot.Signal.Sample(seconds);
}

void Firmware::Reject(std::vector<uint8_t> bytes, int64_t atUs, Command kind, const char* reason) {
    FrameRecord record;
    record.TimeUs = atUs;
    record.HandledUs = atUs;
    record.Bytes = std::move(bytes);
    record.Kind = kind;
    record.Outcome = FrameOutcome::Rejected;
    record.Reason = reason;
    Log.AddFrame(std::move(record));
}

AnswerFaults Firmware::ResolveFaults(Command kind, int64_t atUs) {
    AnswerFaults faults;
    faults.NoAnswer = Plan.Has(FaultKind::NoAnswer, kind, atUs);
    for (const Fault& f : Plan.Take(FaultKind::LateAnswer, kind, atUs))
        faults.LateUs += f.Param;
    for (const Fault& f : Plan.Take(FaultKind::GarbageStatus, kind, atUs))
        faults.Status = static_cast<uint8_t>(f.Param);
    for (const Fault& f : Plan.Take(FaultKind::TruncatedAnswer, kind, atUs)) {
        int m = static_cast<int>(std::max<int64_t>(0, f.Param));
        faults.Truncate = faults.Truncate ? std::min(*faults.Truncate, m) : m;
    }
    for (const Fault& f : Plan.Take(FaultKind::ExtraBytes, kind, atUs))
        faults.Extra += static_cast<int>(std::max<int64_t>(0, f.Param));
    return faults;
}

void Firmware::Schedule(std::vector<uint8_t> answer, int64_t readyUs, const AnswerFaults& faults,
                        int64_t recordId) {
    FrameRecord* record = Log.FindFrame(recordId);
    if (faults.NoAnswer) {
        if (record) {
            record->Outcome = FrameOutcome::Dropped;
            record->Reason = "NoAnswer";
        }
        return;
    }
    if (faults.Status && !answer.empty())
        answer[0] = *faults.Status;
    if (faults.Truncate && static_cast<std::size_t>(*faults.Truncate) < answer.size())
        answer.resize(static_cast<std::size_t>(*faults.Truncate));
    answer.insert(answer.end(), static_cast<std::size_t>(faults.Extra), JunkByte);
    // The device sends its answers one after the other: an answer, late or
    // not, starts once the one before it has been sent, and holds up the
    // answers after it.
    readyUs = std::max(readyUs + std::max<int64_t>(faults.LateUs, 0), S.OutputFreeUs);
    if (record) {
        record->Outcome = FrameOutcome::Answered;
        record->AnswerReadyUs = readyUs;
    }
    std::size_t piece = Device.Transfer == TransferMode::Whole
                            ? std::max<std::size_t>(answer.size(), 1)
                            : std::max<uint32_t>(Device.ChunkBytes, 1);
    int64_t tickUs = static_cast<int64_t>(Device.UsbTickMs) * 1000;
    int64_t due = readyUs;
    for (std::size_t at = 0; at < answer.size(); at += piece, due += tickUs) {
        std::size_t end = std::min(answer.size(), at + piece);
        SimDevice::Impl::Chunk chunk{
            due, std::vector<uint8_t>(answer.begin() + at, answer.begin() + end)};
        auto where = std::upper_bound(
            S.Chunks.begin(), S.Chunks.end(), due,
            [](int64_t t, const SimDevice::Impl::Chunk& c) { return t < c.DueUs; });
        S.Chunks.insert(where, std::move(chunk));
    }
    S.OutputFreeUs = std::max(S.OutputFreeUs, due - tickUs);
}

void Firmware::Handle(int64_t recordId, const std::vector<uint8_t>& bytes, int64_t atUs) {
    Command kind = CommandOfCode(bytes[1]);
    if (FrameRecord* record = Log.FindFrame(recordId)) {
        record->HandledUs = atUs;
        record->Outcome = FrameOutcome::Answered;
    }
    AnswerFaults faults = ResolveFaults(kind, atUs);
    const Latencies& latency = Device.Latency;
    switch (kind) {
    case Command::E1:
    case Command::E5: {
        const SensorSlot& slot = Slots[kind == Command::E1 ? 0 : 1];
        uint8_t presence = slot.Plugged() ? 1 : 0;
        if (slot.PresenceOverride)
            presence = *slot.PresenceOverride;
        for (const Fault& f : Plan.Take(FaultKind::PresenceByte, kind, atUs))
            presence = static_cast<uint8_t>(f.Param);
        Schedule({Ack, presence}, atUs + latency.PresenceUs, faults, recordId);
        break;
    }
    case Command::EE: {
        const SensorSlot& slot = Slots[bytes[2]];
        std::vector<uint8_t> answer(1 + MemorySize, 0xFF);
        answer[0] = Ack;
        if (slot.Plugged()) {
            std::copy(slot.Memory().begin(), slot.Memory().end(), answer.begin() + 1);
        } else if (!Device.AnswerUnpluggedMemory) {
            if (FrameRecord* record = Log.FindFrame(recordId)) {
                record->Outcome = FrameOutcome::Dropped;
                record->Reason = "unplugged";
            }
            break;
        }
        Schedule(std::move(answer), atUs + latency.MemoryReadUs, faults, recordId);
        break;
    }
    case Command::AA: {
        int64_t at = atUs * UnitsPerUs;
        uint16_t raw0 = SampleAt(0, at);
        uint16_t raw1 = SampleAt(1, at);
        Schedule({Ack, static_cast<uint8_t>(raw0 & 0xFF), static_cast<uint8_t>(raw0 >> 8),
                  static_cast<uint8_t>(raw1 & 0xFF), static_cast<uint8_t>(raw1 >> 8)},
                 atUs + latency.RawPairUs, faults, recordId);
        break;
    }
    case Command::E3:
    case Command::E6: {
        SensorSlot& slot = Slots[kind == Command::E3 ? 0 : 1];
        int position = bytes[2];
        WriteProtectMode mode = slot.WriteProtect;
        for (const Fault& f : Plan.Take(FaultKind::WriteProtect, kind, atUs))
            mode = f.Param == 1 ? WriteProtectMode::Silent : WriteProtectMode::Nak;
        uint8_t status = 0x00;
        if (position >= 1 && position <= static_cast<int>(MemorySize) && slot.Plugged() &&
            mode != WriteProtectMode::Nak) {
            if (mode == WriteProtectMode::Off)
                slot.Memory()[static_cast<std::size_t>(position - 1)] = bytes[3];
            status = Ack;
        }
        Schedule({status}, atUs + latency.WriteUs, faults, recordId);
        break;
    }
    case Command::C0: {
        SimDevice::Impl::Block block;
        block.RecordId = recordId;
        block.Channel = bytes[2];
        block.Delta = IntervalUnits(bytes[3], bytes[4], bytes[5]);
        block.Level = static_cast<uint16_t>(bytes[6] | (bytes[7] << 8));
        block.Falling = bytes[8] == 1;
        block.Faults = faults;
        block.Answer.reserve(1 + 4 * BlockSamples);
        block.Answer.push_back(Ack);
        if (block.Level == 0) {
            block.First = (atUs + latency.BlockStartUs) * UnitsPerUs;
        } else {
            block.Armed = true;
            block.NextLook = atUs * UnitsPerUs;
            if (Device.AutoTriggerAfterMs)
                block.AutoAt =
                    (atUs + static_cast<int64_t>(*Device.AutoTriggerAfterMs) * 1000) * UnitsPerUs;
        }
        if (FrameRecord* record = Log.FindFrame(recordId))
            record->Outcome = FrameOutcome::Pending;
        S.Pending = std::move(block);
        break;
    }
    default:
        break;
    }
}

void Firmware::Complete(std::vector<uint8_t> bytes, int64_t atUs) {
    std::size_t n = bytes[0];
    uint8_t check = 0;
    for (std::size_t i = 0; i <= n; ++i)
        check ^= bytes[i];
    Command kind = CommandOfCode(bytes[1]);
    if (check != bytes[n + 1])
        return Reject(std::move(bytes), atUs, kind, "check");
    if (kind == Command::Unknown)
        return Reject(std::move(bytes), atUs, kind, "code");
    if (FrameLength(kind) != static_cast<int>(n))
        return Reject(std::move(bytes), atUs, kind, "length");
    if (kind == Command::EE && bytes[2] > 1)
        return Reject(std::move(bytes), atUs, kind, "channel");
    if (kind == Command::C0 && (bytes[2] > 1 || IntervalUnits(bytes[3], bytes[4], bytes[5]) == 0))
        return Reject(std::move(bytes), atUs, kind, "parameter");

    FrameRecord record;
    record.TimeUs = atUs;
    record.HandledUs = atUs;
    record.Bytes = bytes;
    record.Kind = kind;
    if (S.Pending && Device.WhileArmed == ArmedPolicy::Queue) {
        record.Outcome = FrameOutcome::Queued;
        int64_t id = Log.AddFrame(std::move(record));
        S.Waiting.push_back({id, std::move(bytes)});
        return;
    }
    if (S.Pending) { // Cancel: the block gives way to the new frame
        if (FrameRecord* blockRecord = Log.FindFrame(S.Pending->RecordId)) {
            blockRecord->Outcome = FrameOutcome::Cancelled;
            blockRecord->Reason = "frame";
        }
        S.Pending.reset();
    }
    int64_t id = Log.AddFrame(std::move(record));
    Handle(id, bytes, atUs);
}

void Firmware::Deliver(uint8_t byte, int64_t atUs) {
    if (S.Pending && Device.WhileArmed == ArmedPolicy::Discard) {
        ++Log.DeafBytes;
        return;
    }
    if (!S.Partial.empty() && atUs - S.LastByteUs > ParserGapUs) {
        std::vector<uint8_t> partial = std::move(S.Partial);
        S.Partial.clear();
        Command kind = partial.size() > 1 ? CommandOfCode(partial[1]) : Command::Unknown;
        Reject(std::move(partial), S.LastByteUs, kind, "gap");
    }
    S.LastByteUs = atUs;
    if (S.Partial.empty()) {
        if (ValidLengthByte(byte))
            S.Partial.push_back(byte);
        else
            ++Log.ResyncBytes;
        return;
    }
    S.Partial.push_back(byte);
    if (S.Partial.size() == static_cast<std::size_t>(S.Partial[0]) + 2) {
        std::vector<uint8_t> frame = std::move(S.Partial);
        S.Partial.clear();
        Complete(std::move(frame), atUs);
    }
}

// Runs the pending block (and the frames queued behind it) up to toUnits.
void Firmware::Advance(int64_t toUnits) {
    while (S.Pending) {
        auto& b = *S.Pending;
        if (b.Armed) {
            if (b.AutoAt < b.NextLook) {
                if (b.AutoAt > toUnits)
                    return;
                b.Armed = false;
                b.First = b.AutoAt;
                continue;
            }
            if (b.NextLook > toUnits)
                return;
            uint16_t value = SampleAt(b.Channel, b.NextLook);
            bool fired = false;
            if (b.Looks >= 1)
                fired = b.Falling ? (b.Previous > b.Level && b.Level >= value)
                                  : (b.Previous < b.Level && b.Level <= value);
            if (fired) {
                b.Armed = false;
                b.First = b.NextLook;
                continue;
            }
            b.Previous = value;
            ++b.Looks;
            b.NextLook += b.Delta;
            continue;
        }
        while (b.Taken < BlockSamples && b.First + b.Taken * b.Delta <= toUnits) {
            int64_t at = b.First + b.Taken * b.Delta;
            for (int ch = 0; ch < 2; ++ch) {
                uint16_t raw = SampleAt(ch, at);
                b.Answer.push_back(static_cast<uint8_t>(raw & 0xFF));
                b.Answer.push_back(static_cast<uint8_t>(raw >> 8));
            }
            ++b.Taken;
        }
        if (b.Taken < BlockSamples)
            return;
        int64_t ready =
            b.First + (BlockSamples - 1) * b.Delta + Device.Latency.BlockReadyUs * UnitsPerUs;
        if (ready > toUnits)
            return;
        int64_t readyUs = CeilUs(ready);
        Schedule(std::move(b.Answer), readyUs, b.Faults, b.RecordId);
        S.Pending.reset();
        // Frames that arrived meanwhile (Queue) are handled now, until one of
        // them starts another block.
        while (!S.Pending && !S.Waiting.empty()) {
            auto waiting = std::move(S.Waiting.front());
            S.Waiting.pop_front();
            Handle(waiting.RecordId, waiting.Bytes, readyUs);
        }
    }
}

void Firmware::Gone(int64_t atUs) {
    if (S.Pending) {
        if (FrameRecord* record = Log.FindFrame(S.Pending->RecordId)) {
            record->Outcome = FrameOutcome::Cancelled;
            record->Reason = "gone";
        }
        S.Pending.reset();
    }
    for (auto& waiting : S.Waiting)
        if (FrameRecord* record = Log.FindFrame(waiting.RecordId)) {
            record->Outcome = FrameOutcome::Dropped;
            record->Reason = "gone";
        }
    S.Waiting.clear();
    S.Flight.clear();
    S.Chunks.clear();
    S.Queue.clear();
    S.Partial.clear();
    S.OutputFreeUs = 0;
    S.Present = false;
    S.Lost = true;
    (void)atUs;
}

void Firmware::Run(int64_t nowUs) {
    for (;;) {
        // The earliest timed event and the earliest byte, both due by now.
        auto event =
            std::min_element(Plan.Events.begin(), Plan.Events.end(),
                             [](const FaultPlan::TimedEvent& a, const FaultPlan::TimedEvent& b) {
                                 return a.AtUs < b.AtUs;
                             });
        int64_t eventAt = event != Plan.Events.end() ? event->AtUs : Never;
        int64_t byteAt = !S.Flight.empty() ? S.Flight.front().AtUs : Never;
        int64_t next = std::min(eventAt, byteAt);
        if (next > nowUs)
            break;
        Advance(next * UnitsPerUs);
        if (eventAt <= byteAt) {
            FaultPlan::TimedEvent e = *event;
            Plan.Events.erase(event);
            switch (e.Event) {
            case FaultPlan::TimedEvent::What::StrayByte:
                if (S.Present)
                    S.Chunks.insert(
                        std::upper_bound(S.Chunks.begin(), S.Chunks.end(), e.AtUs,
                                         [](int64_t t, const auto& c) { return t < c.DueUs; }),
                        SimDevice::Impl::Chunk{e.AtUs, {e.Value}});
                break;
            case FaultPlan::TimedEvent::What::Gone:
                Gone(e.AtUs);
                break;
            case FaultPlan::TimedEvent::What::Back:
                S.Present = true;
                break;
            }
            continue;
        }
        auto byte = S.Flight.front();
        S.Flight.pop_front();
        Deliver(byte.Byte, byte.AtUs);
    }
    Advance(nowUs * UnitsPerUs);
    std::size_t due = 0;
    while (due < S.Chunks.size() && S.Chunks[due].DueUs <= nowUs) {
        S.Queue.insert(S.Queue.end(), S.Chunks[due].Bytes.begin(), S.Chunks[due].Bytes.end());
        ++due;
    }
    S.Chunks.erase(S.Chunks.begin(), S.Chunks.begin() + static_cast<std::ptrdiff_t>(due));
}

} // namespace

void SimDevice::Update(int64_t nowUs) {
    Impl& s = *State;
    if (nowUs < s.UpdatedUs)
        nowUs = s.UpdatedUs;
    Firmware firmware(*this, s, Plan, History, Slots);
    firmware.Run(nowUs);
    if (s.Lost) {
        s.Lost = false;
        IsOpened = false;
        ++OpenGeneration;
    }
    s.UpdatedUs = nowUs;
}

} // namespace sim
