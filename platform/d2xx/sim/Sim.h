// The simulated measurement interface: an in-process device behind the D2XX
// driver calls. It answers every command frame with the right length, status
// and timing, carries two sensor slots with their 126-byte memories and one
// signal generator per channel, and injects faults on demand.
//
// Nothing runs between driver calls: every SimD2xx call first brings its
// device up to the program clock's "now" (bytes in flight reach the frame
// parser, complete frames are handled, a pending block samples, due answer
// chunks enter the receive queue). Results therefore depend only on the
// sequence of calls and clock values. On a virtual clock each SimD2xx call
// then advances the clock by the bus's CallCostUs, so that loops polling
// "without pause" still move time; on the real clock calls cost what they cost.
//
// Times in this interface are microseconds of the program clock
// (platform::CurrentClock().NowUs()) unless a name says otherwise; Ms(n)
// converts milliseconds.
#pragma once

#include "d2xx/ftd2xx.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sim {

// Milliseconds to microseconds.
constexpr int64_t Ms(int64_t ms) {
    return ms * 1000;
}

// The 126 bytes of a sensor memory, position 1 at index 0.
constexpr std::size_t MemorySize = 126;
using MemoryImage = std::array<uint8_t, MemorySize>;

// The description of the simulated interface on the bus.
inline constexpr const char* DefaultDescription = "Interface de mesure (simulée)";

// Command kinds, by their code. E3E6 stands for both memory writes and Any for
// every command (fault targets and counters).
enum class Command { Any, E1, E5, EE, AA, E3, E6, E3E6, C0, Unknown };

// The kind of a command code (0xE1 -> E1, ...; anything else Unknown).
Command CommandOfCode(uint8_t code);
// "E1", "EE", "E3/E6", "any", ...
const char* CommandName(Command kind);
// True when a frame of kind `actual` is targeted by `target` (Any matches all,
// E3E6 matches E3 and E6).
bool CommandMatches(Command target, Command actual);

// ---------------------------------------------------------------------------
// Signal generators

// Gives the raw count of one channel at a given time. Time t is seconds since
// the bus was created. Values are rounded half to even and clamped to 0..1023
// (except Raw16). A generator keeps per-channel state: the number of samples
// taken (Sequence, Indexed) and its noise generator, so each slot owns a copy.
class Generator {
public:
    // A constant count (default: 0).
    static Generator Dc(double value = 0);
    // centre + amplitude * sin(2 pi f t + phase). Two sines 90 degrees apart
    // draw an XY ellipse.
    static Generator Sine(double centre, double amplitude, double freqHz, double phaseDeg = 0);
    // `high` for the first `duty` fraction of each period, `low` for the rest.
    static Generator Square(double low, double high, double freqHz, double duty = 0.5,
                            double phaseDeg = 0);
    // Rises linearly from low to high over the first half period, falls back
    // over the second; starts at `low` at t = 0.
    static Generator Triangle(double low, double high, double freqHz);
    // Pure deterministic noise around 0 (i.e. Dc(0).WithNoise(...)).
    static Generator Noise(double amplitude, uint32_t seed = 1);
    // One value per sample taken on the channel (an AA reading takes one, a
    // block 95 in order, a trigger search one per look); holds the last value
    // once exhausted (0 when empty). Values are clamped to 0..1023.
    static Generator Sequence(std::vector<int> values);
    // f(n) for the n-th sample taken on the channel, n counted from 1.
    static Generator Indexed(std::function<double(int64_t n)> f);
    // Any 16-bit value, unclamped (1024, 65535 ...).
    static Generator Raw16(uint16_t value);
    // f(t), any signal given as a function of time (t in seconds since the
    // bus was created). Tests may also record the instants it is sampled at.
    static Generator OfTime(std::function<double(double tSeconds)> f);

    // This generator plus uniform noise in [-amplitude, amplitude] drawn from
    // a deterministic LCG seeded with `seed` (one draw per sample).
    Generator WithNoise(double amplitude, uint32_t seed = 1) const;

    // Takes one sample at tSeconds (advances the sample count and the noise).
    uint16_t Sample(double tSeconds);
    // Samples taken so far.
    int64_t SamplesTaken() const { return Taken; }
    // Restarts the sample count (Sequence, Indexed) and the noise.
    void Restart();

private:
    enum class Kind { Dc, Sine, Square, Triangle, Sequence, Indexed, Raw16, OfTime };
    Kind Type = Kind::Dc;
    double P1 = 0, P2 = 0, P3 = 0, P4 = 0, P5 = 0;
    std::vector<int> Values;
    std::function<double(int64_t)> Function;
    std::function<double(double)> TimeFunction;
    double NoiseAmplitude = 0;
    uint32_t NoiseSeed = 1;
    uint32_t NoiseState = 1;
    int64_t Taken = 0;
};

// ---------------------------------------------------------------------------
// Sensor slots

// How memory byte writes (E3/E6) are refused.
enum class WriteProtectMode {
    Off,    // writes are stored and acknowledged with 55
    Nak,    // answered 00, nothing stored
    Silent, // answered 55, nothing stored
};

// One sensor connector of the interface. The memory moves with the sensor:
// writes persist in the slot, Unplug returns the bytes, Plug takes them.
class SensorSlot {
public:
    // Connects a sensor carrying `memory`.
    void Plug(const MemoryImage& memory);
    // Disconnects the sensor; returns its memory (with every write it took).
    MemoryImage Unplug();
    // Swaps the sensor for another one in a single step (no unplugged moment).
    void Replace(const MemoryImage& memory);
    bool Plugged() const { return IsPlugged; }
    // The memory of the plugged sensor (or of the last one, once unplugged).
    const MemoryImage& Memory() const { return Bytes; }
    MemoryImage& Memory() { return Bytes; }

    // Replaces the presence byte of the E1/E5 answer when set (e.g. 2).
    std::optional<uint8_t> PresenceOverride;
    // Refusal of memory writes for this slot.
    WriteProtectMode WriteProtect = WriteProtectMode::Off;
    // The count an unplugged channel reads (AA and blocks).
    uint16_t UnpluggedValue = 0;
    // The channel's signal while a sensor is plugged.
    Generator Signal;

private:
    bool IsPlugged = false;
    MemoryImage Bytes{};
};

// ---------------------------------------------------------------------------
// Faults

// Which frames (or driver calls) a fault applies to.
struct Scope {
    enum class Type { NextN, All, Window };
    Type Kind = Type::All;
    int Count = 0;      // NextN: how many more frames/calls it applies to
    int64_t FromUs = 0; // Window: [FromUs, ToUs) of virtual time
    int64_t ToUs = 0;

    // The next n matching frames (or calls).
    static Scope Next(int n = 1) { return {Type::NextN, n, 0, 0}; }
    // Every matching frame (or call) from now on.
    static Scope All() { return {Type::All, 0, 0, 0}; }
    // Matching frames (or calls) whose time falls in [fromUs, toUs).
    static Scope Window(int64_t fromUs, int64_t toUs) { return {Type::Window, 0, fromUs, toUs}; }
};

enum class FaultKind {
    // Frame faults (armed for a command kind).
    NoAnswer,        // handled, no answer (memory writes still applied)
    LateAnswer,      // answer delayed by Param µs
    GarbageStatus,   // status byte replaced by Param
    TruncatedAnswer, // only the first Param bytes of the answer
    ExtraBytes,      // Param junk bytes (0xA5) after the answer
    WriteProtect,    // E3/E6 refused: Param 0 = Nak, 1 = Silent
    PresenceByte,    // E1/E5 answer carries Param as presence byte
    // Driver-call faults (armed for the command kind of the frame written;
    // ReadFails and PollFails match the last frame written).
    ShortWrite, // FT_Write takes only Param bytes
    WriteFails, // FT_Write: FT_IO_ERROR, 0 written
    ReadFails,  // FT_Read: FT_IO_ERROR, 0 read
    PollFails,  // FT_GetQueueStatus: FT_IO_ERROR, count not written
    // Device-level faults (command kind ignored).
    ListFails,        // FT_ListDevices(count): FT_IO_ERROR
    DescriptionFails, // FT_ListDevices(by index): FT_DEVICE_NOT_FOUND
    OpenFails,        // FT_OpenEx: FT_DEVICE_NOT_OPENED
    Busy,             // held by another program: FT_OpenEx FT_DEVICE_NOT_OPENED
    SlowTx,           // written bytes delivered Param µs later than usual
    ResetFails,       // FT_ResetDevice: FT_IO_ERROR (nothing reset)
    PurgeFails,       // FT_Purge: FT_IO_ERROR (nothing purged)
};

// "NoAnswer", "LateAnswer", ...
const char* FaultName(FaultKind kind);

struct Fault {
    FaultKind Kind = FaultKind::NoAnswer;
    Command Target = Command::Any;
    Scope When;
    int64_t Param = 0;
};

// The faults armed on one device. Each call returns the fault's index (for
// Remove). Several faults may apply to the same frame; a NextN fault is used
// up one per matching frame or call. Listing and opening faults armed on any
// device's plan or on the bus's plan apply. A second device on the bus is
// SimBus::AddDevice (SimRig::AddDevice).
class FaultPlan {
public:
    int NoAnswer(Command target, Scope when = Scope::All());
    int LateAnswer(int64_t delayMs, Command target, Scope when = Scope::All());
    int GarbageStatus(uint8_t status, Command target, Scope when = Scope::All());
    int TruncatedAnswer(int bytes, Command target, Scope when = Scope::All());
    int ExtraBytes(int bytes, Command target, Scope when = Scope::All());
    int WriteProtect(WriteProtectMode mode, Scope when = Scope::All());
    int PresenceByte(uint8_t value, Command target = Command::Any, Scope when = Scope::All());
    int ShortWrite(int bytes, Command target, Scope when = Scope::All());
    int WriteFails(Command target = Command::Any, Scope when = Scope::All());
    int ReadFails(Command target = Command::Any, Scope when = Scope::All());
    int PollFails(Command target = Command::Any, Scope when = Scope::All());
    int ListFails(Scope when = Scope::All());
    int DescriptionFails(Scope when = Scope::All());
    int OpenFails(Scope when = Scope::All());
    int Busy(Scope when = Scope::All());
    int SlowTx(int64_t delayMs, Scope when = Scope::All());
    int ResetFails(Scope when = Scope::All());
    int PurgeFails(Scope when = Scope::All());

    // One byte (default 0xA5) enters the receive queue at atUs.
    void StrayByte(int64_t atUs, uint8_t value = 0xA5);
    // The device leaves the bus at atUs: no longer listed, every call on its
    // handle FT_IO_ERROR, in-flight bytes, queue and pending block lost.
    void DeviceGone(int64_t atUs);
    // The device is listed again at atUs; a handle from before stays invalid
    // (FT_IO_ERROR) and a new FT_OpenEx is needed.
    void DeviceBack(int64_t atUs);
    // The device describes itself with a description of exactly `length`
    // bytes (the usual description, cut or padded with "0123456789..."),
    // at most 63 bytes fit the driver's 64-byte buffer.
    void LongDescription(int length);

    // Arms any fault.
    int Add(const Fault& fault);
    // Disarms fault `index` (others keep their index).
    void Remove(int index);
    // Disarms everything (stray bytes, presence events and the long
    // description included).
    void Clear();

    // For the simulator: the armed faults of `kind` that apply to a frame or
    // call of command `actual` at timeUs. Uses up NextN scopes when consume.
    std::vector<Fault> Take(FaultKind kind, Command actual, int64_t timeUs, bool consume = true);
    bool Has(FaultKind kind, Command actual, int64_t timeUs, bool consume = true);

    struct TimedEvent {
        int64_t AtUs;
        enum class What { StrayByte, Gone, Back } Event;
        uint8_t Value;
    };
    std::vector<TimedEvent> Events;
    std::optional<int> DescriptionLength;

private:
    std::vector<std::optional<Fault>> Faults;
};

// ---------------------------------------------------------------------------
// Logs

// One driver call.
enum class ApiCall { ListDevices, OpenEx, Close, ResetDevice, Purge, GetQueueStatus, Write, Read };
const char* ApiCallName(ApiCall call);

struct ApiRecord {
    int64_t TimeUs = 0; // clock when the call was made
    ApiCall Call = ApiCall::ListDevices;
    int Device = -1;   // bus index of the device, -1 when none
    uint64_t Arg1 = 0; // index, flags, mask or requested byte count
    uint64_t Arg2 = 0; // flags of ListDevices/OpenEx
    FT_STATUS Status = FT_OK;
    uint32_t Bytes = 0;     // bytes moved / count reported
    int64_t Repeat = 1;     // consecutive identical GetQueueStatus calls merged
    int64_t LastTimeUs = 0; // time of the last merged call
    std::string Text;       // description or written bytes in hex, if any
};

enum class FrameOutcome {
    Answered,  // answer scheduled (possibly altered by a fault)
    Rejected,  // invalid frame, no answer; Reason says why
    Pending,   // a block still armed or sampling
    Cancelled, // a block dropped by a later frame or a device loss
    Dropped,   // no answer because of a fault; Reason names it
    Queued,    // received during a pending block, handled once it is ready
};
const char* OutcomeName(FrameOutcome outcome);

struct FrameRecord {
    int64_t TimeUs = 0;    // T: delivery of the check byte
    int64_t HandledUs = 0; // when the firmware acted (differs from T when queued)
    std::vector<uint8_t> Bytes;
    Command Kind = Command::Unknown;
    FrameOutcome Outcome = FrameOutcome::Answered;
    // Rejected: "check", "code", "length", "channel", "parameter" or "gap" (a
    // partial frame followed by a pause of more than 20 ms); Dropped: the
    // fault's name or "unplugged"; Cancelled: "frame" or "gone".
    std::string Reason;
    int64_t AnswerReadyUs = -1; // when the answer started entering the queue
    // "01 E1 E0"
    std::string Hex() const;
};

// The parameters of a block request (C0 frame).
struct BlockRequest {
    int64_t TimeUs = 0;
    uint8_t TriggerChannel = 0;
    uint8_t A = 0, B = 0, C = 0;
    uint16_t Level = 0;
    uint8_t Edge = 0;
};

class SimLog {
public:
    const std::vector<ApiRecord>& Api() const { return ApiCalls; }
    const std::vector<FrameRecord>& Frames() const { return FrameList; }
    // Frames whose T is at or after tUs.
    std::vector<FrameRecord> FramesSince(int64_t tUs) const;
    // The hex of the frames received at or after tUs, e.g. {"01 E1 E0", ...}.
    std::vector<std::string> FramesHexSince(int64_t tUs = 0) const;
    // "" when the frames received at or after sinceUs (rejected ones
    // included) are exactly `expected`
    // (hex, spaces as in "01 E1 E0"), else a readable difference.
    // Use: EXPECT_EQ(log.ExpectFrames({"01 E1 E0", "02 EE 00 EC"}), "");
    std::string ExpectFrames(const std::vector<std::string>& expected, int64_t sinceUs = 0) const;
    // The last C0 frame received (whatever became of it).
    std::optional<BlockRequest> LastBlockRequest() const;
    // Frames received of a kind (Any: all; E3E6: both writes), any outcome.
    int Count(Command kind) const;
    // Frames of a kind with a given outcome.
    int Count(Command kind, FrameOutcome outcome) const;
    // Driver calls of one kind (merged polls counted one by one).
    int64_t CallCount(ApiCall call) const;
    // Bytes discarded by the parser while looking for a length byte, and
    // bytes ignored while a block was pending (whileArmed Discard).
    int64_t ResyncBytes = 0;
    int64_t DeafBytes = 0;
    void Clear();

    // When non-zero, the oldest half of each log is forgotten once it holds
    // more than this many records (long runs on the real clock).
    std::size_t MaxRecords = 0;

    // For the simulator. Frame ids stay valid when old records are forgotten.
    int64_t AddFrame(FrameRecord record);
    FrameRecord* FindFrame(int64_t id);
    void AddApi(ApiRecord record);
    std::vector<ApiRecord> ApiCalls;
    std::vector<FrameRecord> FrameList;
    int64_t FirstFrameId = 0;
};

// ---------------------------------------------------------------------------
// Device

// How an answer reaches the receive queue once ready. Answers leave the
// device in the order they were made and never interleave: an answer starts
// once the previous one has been sent (an answer that a LateAnswer fault
// delays holds up the answers after it).
enum class TransferMode {
    Chunked, // the first 62 bytes at the ready time, then 62 more every UsbTickMs
    Whole,   // the whole answer at its ready time
};

// What a valid frame completed while a block is pending (armed or sampling)
// does. A frame the parser rejects changes nothing.
enum class ArmedPolicy {
    Cancel,  // the block is dropped (logged Cancelled) and the frame handled
    Discard, // bytes received are thrown away until the block's answer is ready
    Queue,   // the frame is handled once the block's answer is ready
};

// "Cancel", "Discard", "Queue".
const char* PolicyName(ArmedPolicy policy);

// Answer latencies, counted from T (the check byte's delivery).
struct Latencies {
    int64_t PresenceUs = 2000;    // E1 / E5
    int64_t MemoryReadUs = 15000; // EE
    int64_t RawPairUs = 1000;     // AA
    int64_t WriteUs = 5000;       // E3 / E6
    int64_t TxUs = 100;           // FT_Write to the parser
    int64_t BlockStartUs = 100;   // T to sample 1 of an untriggered block
    int64_t BlockReadyUs = 200;   // sample 95 to the block answer
};

class SimBus;

class SimDevice {
public:
    SimDevice(SimBus& bus, int index, std::string description);
    SimDevice(const SimDevice&) = delete;
    SimDevice& operator=(const SimDevice&) = delete;

    // ---- USB side settings
    // At most 63 bytes are reported (the driver's buffer holds 64).
    std::string Description;
    Latencies Latency;
    TransferMode Transfer = TransferMode::Chunked;
    uint32_t UsbTickMs = 1;
    uint32_t ChunkBytes = 62;

    // ---- firmware settings
    ArmedPolicy WhileArmed = ArmedPolicy::Cancel;
    // A triggered block whose condition never comes starts sampling this long
    // after T (off by default: it stays pending for ever).
    std::optional<uint32_t> AutoTriggerAfterMs;
    // EE on an unplugged channel: 55 + 126 x FF when true, no answer when false.
    bool AnswerUnpluggedMemory = true;
    // Longest run of back-to-back queue polls (no other call, no clock move
    // beyond the call cost) before the process aborts (virtual clock only).
    uint32_t SpinGuardMs = 10000;

    // ---- sensors (channel 0 is "voie 1")
    SensorSlot& Slot(int ch);
    void Plug(int ch, const MemoryImage& memory) { Slot(ch).Plug(memory); }
    MemoryImage Unplug(int ch) { return Slot(ch).Unplug(); }
    void Replace(int ch, const MemoryImage& memory) { Slot(ch).Replace(memory); }
    const MemoryImage& Memory(int ch) { return Slot(ch).Memory(); }
    void SetGenerator(int ch, Generator generator) { Slot(ch).Signal = std::move(generator); }

    // The accessors below first bring the device up to now, so that what a
    // test changes applies from now on and what it reads is current.
    FaultPlan& Faults();
    SimLog& Log();
    SimBus& Bus() { return Owner; }
    // The bus's call cost (every device of the bus shares it).
    void SetCallCostUs(uint32_t us);
    int Index() const { return BusIndex; }

    // ---- state (test queries: they cost no virtual time)
    // Listed by the driver now.
    bool Present();
    // Opened through FT_OpenEx and not closed.
    bool Opened() const { return IsOpened; }
    // Bytes readable now.
    std::size_t QueueSize();
    // A block armed or sampling.
    bool BlockPending();
    // The description the driver reports (a LongDescription fault applied,
    // cut to 63 bytes).
    std::string ReportedDescription() const;
    // Leaves the bus now / comes back now (as DeviceGone/DeviceBack at now).
    void Disconnect();
    void Reconnect();

    // Feeds bytes straight to the frame parser, delivered at atUs (default:
    // now), bypassing FT_Write (malformed frames, gaps).
    void FeedParser(const std::vector<uint8_t>& bytes, std::optional<int64_t> atUs = {});

    // ---- for SimD2xx
    // Brings the device up to nowUs (lazy evaluation).
    void Update(int64_t nowUs);
    uint64_t Generation() const { return OpenGeneration; }
    ~SimDevice();
    struct Impl;

private:
    friend class SimD2xx;
    SimBus& Owner;
    int BusIndex;
    std::array<SensorSlot, 2> Slots;
    FaultPlan Plan;
    SimLog History;
    bool IsOpened = false;
    uint64_t OpenGeneration = 0;
    std::unique_ptr<Impl> State;
};

// The devices the driver lists, in listing order.
class SimBus {
public:
    // Creates an empty bus; generator time 0 is the clock's now.
    SimBus();
    SimBus(const SimBus&) = delete;
    SimBus& operator=(const SimBus&) = delete;

    // Adds a device at the end of the listing (a second one: TwoDevices).
    SimDevice& AddDevice(std::string description = DefaultDescription);
    std::size_t DeviceCount() const { return Devices.size(); }
    SimDevice& Device(std::size_t index = 0) { return *Devices.at(index); }

    // Virtual cost of every SimD2xx call on a virtual clock (1 to 100 µs).
    void SetCallCostUs(uint32_t us);
    uint32_t CallCostUs() const { return CostUs; }
    // Clock time at which generators read t = 0.
    int64_t OriginUs() const { return Origin; }

    // Faults that concern the whole bus (ListFails).
    FaultPlan& Faults() { return Plan; }

private:
    std::vector<std::unique_ptr<SimDevice>> Devices;
    uint32_t CostUs = 5;
    int64_t Origin = 0;
    FaultPlan Plan;
};

// ---------------------------------------------------------------------------
// Driver

// The D2XX calls implemented over a SimBus. Handles are opaque non-null
// pointers, never reused: a closed handle answers FT_INVALID_HANDLE.
class SimD2xx final : public d2xx::Driver {
public:
    // Over a bus that the caller keeps alive.
    explicit SimD2xx(SimBus& bus);
    // Over a bus it owns.
    explicit SimD2xx(std::unique_ptr<SimBus> bus);
    ~SimD2xx() override;

    SimBus& Bus() { return *BusRef; }

    FT_STATUS ListDevices(void* arg1, void* arg2, DWORD flags) override;
    FT_STATUS OpenEx(void* arg1, DWORD flags, FT_HANDLE* handle) override;
    FT_STATUS Close(FT_HANDLE handle) override;
    FT_STATUS ResetDevice(FT_HANDLE handle) override;
    FT_STATUS Purge(FT_HANDLE handle, ULONG mask) override;
    FT_STATUS GetQueueStatus(FT_HANDLE handle, DWORD* rxBytes) override;
    FT_STATUS Write(FT_HANDLE handle, void* buffer, DWORD toWrite, DWORD* written) override;
    FT_STATUS Read(FT_HANDLE handle, void* buffer, DWORD toRead, DWORD* read) override;

    // On the real clock, a queue poll that finds no byte arrived since the
    // previous poll waits as a real device's driver does: until the next
    // byte is due, at most one USB latency (the chip's latency timer), so
    // that loops polling "without pause" sleep instead of spinning.
    static constexpr int64_t EmptyPollWaitUs = 2000;

private:
    struct HandleRecord {
        SimDevice* Device;
        uint64_t Generation;
        bool Closed;
    };
    // Brings every device up to now.
    void UpdateAll();
    HandleRecord* Find(FT_HANDLE handle);
    // The start of a call on a handle: every device brought up to now, the
    // handle's device (nullptr if unknown) and FT_OK or the handle's error.
    struct Call {
        SimDevice* Device;
        FT_STATUS Status;
    };
    Call Begin(FT_HANDLE handle);
    // The end of a call: logged, charged; returns status.
    FT_STATUS End(SimDevice* device, ApiCall call, FT_STATUS status, uint32_t bytes = 0,
                  uint64_t arg1 = 0, std::string text = {}, bool poll = false);
    // Checks a handle: FT_OK when usable, else the status to return.
    FT_STATUS Check(HandleRecord* record);
    void Log(SimDevice* device, ApiRecord record);
    // After a call: the virtual cost, and the spin guard for queue polls.
    void Finish(SimDevice* device, bool poll);

    std::unique_ptr<SimBus> OwnedBus;
    SimBus* BusRef;
    std::deque<HandleRecord> Handles;
    int64_t CallStartUs = 0;
    SimDevice* SpinDevice = nullptr;
    int64_t SpinStartUs = 0;
    int64_t SpinEndUs = 0;
    int64_t SpinPolls = 0;
    // The last queue poll's device and count, until any other call.
    struct PollRecord {
        const SimDevice* Device = nullptr;
        int64_t Count = -1;
    };
    PollRecord LastPoll;
    // The count of the last poll if the previous call polled device, else -1.
    int64_t PolledCount(const SimDevice* device) const;
    // Real clock: sleeps until the device's next byte is due or one USB
    // latency has passed, then brings the devices up to now.
    void WaitForNextByte(SimDevice& device);
};

} // namespace sim
