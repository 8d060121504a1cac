// Command frames and the exchanges that send them and wait for their answers.
#include "tampon.h"
#include "tampon_internal.h"

#include "core/Clock.h"
#include "core/Waits.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tampon {

namespace {

constexpr uint8_t Acknowledged = 0x55;
constexpr uint8_t CodePresence0 = 0xE1;
constexpr uint8_t CodePresence1 = 0xE5;
constexpr uint8_t CodeReadMemory = 0xEE;
// The raw-pair reading and the memory write are left out of the
// oscilloscope's build, and so are their codes and answer sizes.
[[maybe_unused]] constexpr uint8_t CodeReadBoth = 0xAA;
[[maybe_unused]] constexpr uint8_t CodeWrite0 = 0xE3;
[[maybe_unused]] constexpr uint8_t CodeWrite1 = 0xE6;
constexpr uint8_t CodeBlock = 0xC0;

constexpr int PresenceAnswer = 2;
constexpr int MemoryAnswer = 1 + SensorMemorySize;
[[maybe_unused]] constexpr int RawPairAnswer = 5;
[[maybe_unused]] constexpr int WriteAnswer = 1;
constexpr int BlockAnswer = 1 + 4 * BlockSampleCount;

constexpr int PresenceTries0 = 15;
constexpr int PresenceTries1 = 10;
constexpr int PresencePolls = 10;
constexpr int MemoryPolls = 150;
constexpr uint32_t PollPauseMs = 10;
constexpr uint32_t BlockMarginMs = 1000;
constexpr uint32_t TriggerMarginMs = 1000;

// Set once the interface has stopped answering (see InterfaceSilent in
// tampon.h); cleared by the next answered exchange. While set, exchanges wait
// only QuickGiveUpMs.
bool Silent = false;
bool UnderWay = false;
// Set when the program's wait handler said that the user ended the
// measurement; the exchange under way then gives up with Ended.
bool UserEnded = false;
// A triggered block came back without a byte and nothing has been heard
// since: the device may still be armed, and a device may ignore or hold
// frames until its trigger comes. Silence then says nothing.
bool MayBeArmed = false;
// Channels whose presence query failed, reported once, and that have not
// answered one since.
bool PresenceFailing[2] = {};
// Block requests in a row that got no whole answer.
int LostBlocks = 0;

void NoteAnswered() {
    Silent = false;
    MayBeArmed = false;
}

// Polls without pause until count bytes wait or boundMs have passed. heard
// becomes true as soon as any byte is waiting. The poll count is capped too,
// far beyond what any bound takes, so that a clock that does not move (a
// virtual clock with a driver that charges no time) cannot hang the program.
bool WaitForBytes(DWORD count, uint32_t boundMs, bool& heard) {
    constexpr int64_t MaxPolls = 20'000'000;
    platform::Clock& clock = platform::CurrentClock();
    const int64_t start = clock.NowUs();
    const int64_t bound = static_cast<int64_t>(boundMs) * 1000;
    for (int64_t polls = 0; polls < MaxPolls; ++polls) {
        PollQueue();
        if (RxQueueCount > 0)
            heard = true;
        if (RxQueueCount >= count)
            return true;
        if (clock.NowUs() - start >= bound)
            return false;
        // The program keeps its windows alive; the user may end the wait.
        UserEnded = platform::WhileWaiting();
        if (UserEnded)
            return false;
    }
    return false;
}

// Up to `polls` polls, each after a 10 ms pause, until count bytes wait.
// heard becomes true as soon as any byte is waiting.
bool WaitPaced(DWORD count, int polls, bool& heard) {
    RxQueueCount = 0;
    for (int poll = 0; poll < polls; ++poll) {
        UserEnded = platform::WhileWaiting();
        if (UserEnded)
            return false;
        Sleep(PollPauseMs);
        PollQueue();
        if (RxQueueCount > 0)
            heard = true;
        if (RxQueueCount >= count)
            return true;
    }
    return false;
}

// True when the count bytes waiting are exactly one answer of that length:
// more bytes mean the tail of an earlier answer that came late, or two
// answers, and such bytes are never read as this exchange's answer.
bool WholeAnswer(DWORD count) {
    return RxQueueCount == count &&
           ReceiveAnswer(static_cast<int32_t>(count)) == static_cast<int32_t>(count);
}

// The memory answer, once at least its length waits: read when it is alone,
// or when what follows it is junk after an answer that starts with the
// acknowledgement (the identification's presence query, answered just
// before, has already drained what an earlier answer left).
bool MemoryAnswerRead() {
    const DWORD waiting = RxQueueCount;
    if (ReceiveAnswer(MemoryAnswer) != MemoryAnswer)
        return false;
    return waiting == MemoryAnswer || AnswerBuffer[0] == Acknowledged;
}

// How long a block answer must stand alone before it is read: an answer that
// comes late is followed at once by the next one, within a USB packet time.
constexpr uint32_t BlockSettleMs = 3;

// One presence try: purges, frame, 10 ms, up to ten polls 10 ms apart. True
// with the presence byte when an acknowledged answer came within the polls;
// an answer that did not come in time is an unanswered try (the status byte
// of an earlier exchange is never taken for an acknowledgement).
bool PresenceTry(uint8_t code, uint8_t& presence, bool& heard) {
    PurgeReceive();
    PurgeTransmit();
    SendCommand(BuildCommand(code, nullptr, 0));
    Sleep(PollPauseMs);
    if (!WaitPaced(PresenceAnswer, PresencePolls, heard) || !WholeAnswer(PresenceAnswer))
        return false;
    if (AnswerBuffer[0] != Acknowledged)
        return false;
    presence = AnswerBuffer[1];
    return true;
}

// Drops what is left of a cut or mixed answer: purges until no byte has come
// for BlockSettleMs (for at most LeftoversMs), so that none of it is taken for
// the next request's answer.
void DropLeftovers() {
    constexpr int64_t LeftoversMs = 50;
    platform::Clock& clock = platform::CurrentClock();
    const int64_t start = clock.NowUs();
    bool heard = true;
    while (heard && !UserEnded && clock.NowUs() - start < LeftoversMs * 1000) {
        PurgeReceive();
        heard = false;
        WaitForBytes(1, BlockSettleMs, heard);
    }
}

enum class ProbeOutcome { Answered, Unanswered, Ended };

// Presence tries, whose answer is not used, to learn whether the interface
// still answers: on a channel whose queries do not keep failing (channel 0
// unless it does).
ProbeOutcome Probe(int avoidChannel) {
    int channel = 0;
    if (avoidChannel == 0 || PresenceFailing[0])
        channel = PresenceFailing[1] ? 0 : 1;
    // Up to three tries: an answer that came late holds up the device's
    // next answers for a while, and what is left of it is dropped by the next
    // try's purge.
    constexpr int MostTries = 3;
    for (int t = 0; t < MostTries; ++t) {
        bool heard = false;
        uint8_t presence = 0;
        if (PresenceTry(channel == 0 ? CodePresence0 : CodePresence1, presence, heard)) {
            NoteAnswered();
            return ProbeOutcome::Answered;
        }
        if (UserEnded)
            return ProbeOutcome::Ended;
    }
    return ProbeOutcome::Unanswered;
}

// The verdict on an exchange that ended without its whole answer (and was not
// ended by the user). Bytes came: the interface speaks, one answer was lost or
// cut. Nothing came: a device that the driver no longer reaches or lists is
// gone; while a triggered block may still be armed nothing more is known;
// otherwise presence tries tell whether the interface still answers at all.
// Returns NoAnswer (InterfaceSilent() tells which), NoTrigger (a block that may
// still wait for its trigger) or Ended.
LinkResult Unanswered(bool heard) {
    if (heard) {
        MayBeArmed = false;
        return LinkResult::NoAnswer;
    }
    if (Silent)
        return LinkResult::NoAnswer;
    if (PollQueue() != FT_OK || GetDeviceCount() < 1) {
        // The driver has lost the device: no need to ask.
    } else if (MayBeArmed) {
        return LinkResult::NoTrigger;
    } else {
        switch (Probe(-1)) {
        case ProbeOutcome::Answered:
            return LinkResult::NoAnswer;
        case ProbeOutcome::Ended:
            return LinkResult::Ended;
        case ProbeOutcome::Unanswered:
            break;
        }
    }
    Silent = true;
    return LinkResult::NoAnswer;
}

// The verdict on a reading or a write (not a block) that ended without its
// whole answer: Ended when the user ended it; otherwise Unanswered's, where a
// device that may still be armed gives NoAnswer (only a block waits for a
// trigger).
LinkResult UnansweredExchange(bool heard) {
    if (UserEnded)
        return LinkResult::Ended;
    const LinkResult verdict = Unanswered(heard);
    return verdict == LinkResult::NoTrigger ? LinkResult::NoAnswer : verdict;
}

} // namespace

int32_t BuildCommand(uint8_t code, const uint8_t* parameters, int32_t parameterCount) {
    parameterCount = std::clamp<int32_t>(parameterCount, 0, 8);
    const int32_t n = 1 + parameterCount;
    CommandBuffer[0] = static_cast<uint8_t>(n);
    CommandBuffer[1] = code;
    for (int32_t i = 0; i < parameterCount; ++i)
        CommandBuffer[2 + i] = parameters[i];
    uint8_t check = 0;
    for (int32_t i = 0; i <= n; ++i)
        check ^= CommandBuffer[i];
    CommandBuffer[n + 1] = check;
    return n + 2;
}

bool InterfaceSilent() {
    return Silent;
}

bool ExchangeUnderWay() {
    return UnderWay;
}

bool ExchangeEnded() {
    return UserEnded;
}

double BlockIntervalMs(uint8_t a, uint8_t b, uint8_t c) {
    const double product = static_cast<double>(b) * c;
    switch (a) {
    case 4:
        return product / 1024;
    case 5:
        return product / 256;
    case 6:
        return product / 64;
    default:
        return 0;
    }
}

uint32_t BlockWaitMs(uint8_t a, uint8_t b, uint8_t c, uint16_t level) {
    const auto sampling =
        static_cast<uint32_t>(std::ceil(BlockSampleCount * BlockIntervalMs(a, b, c)));
    if (Silent)
        return sampling + QuickGiveUpMs;
    const bool triggered = level != 0 && level < 1024;
    return sampling + BlockMarginMs + (triggered ? TriggerMarginMs : 0);
}

namespace detail {

ExchangeGuard::ExchangeGuard() : Owner(!UnderWay) {
    UnderWay = true;
    if (Owner)
        UserEnded = false;
}

ExchangeGuard::~ExchangeGuard() {
    if (Owner)
        UnderWay = false;
}

uint8_t Presence(int channel, LinkResult& result) {
    const uint8_t code = channel == 0 ? CodePresence0 : CodePresence1;
    const int fullTries = channel == 0 ? PresenceTries0 : PresenceTries1;
    const uint8_t lastKnown = SensorOnChannel[channel] ? 1 : 0;
    bool heard = false;
    // A single try while the interface is silent or may be holding frames
    // for an armed trigger; all of them once it is heard.
    for (int t = 0; t < ((Silent || MayBeArmed) ? 1 : fullTries); ++t) {
        uint8_t presence = 0;
        if (PresenceTry(code, presence, heard)) {
            NoteAnswered();
            PresenceFailing[channel] = false;
            result = LinkResult::Answered;
            return presence;
        }
        if (UserEnded) {
            result = LinkResult::Ended;
            return lastKnown;
        }
        if (heard)
            MayBeArmed = false;
    }
    if (!heard && MayBeArmed && GetDeviceCount() >= 1) {
        // The device may hold the query until its trigger comes: nothing is
        // known about the sensor.
        result = LinkResult::NoAnswer;
        return lastKnown;
    }
    if (!Silent && !MayBeArmed && GetDeviceCount() >= 1) {
        // Does the interface still answer, or only this channel fail?
        const ProbeOutcome probe = Probe(channel);
        if (probe == ProbeOutcome::Ended) {
            result = LinkResult::Ended;
            return lastKnown;
        }
        Silent = probe == ProbeOutcome::Unanswered;
    } else {
        Silent = true;
    }
    // The interface's silence is the caller's to tell; a channel that fails
    // is told once, until it answers again.
    if (!Silent && !PresenceFailing[channel])
        ShowLinkMessage(channel == 0 ? "Problème de lecture sur la voie 1"
                                     : "Problème de lecture sur la voie 2",
                        true, "Erreur");
    if (!Silent)
        PresenceFailing[channel] = true;
    ResetCalibration(channel);
    SensorOnChannel[channel] = false;
    ForgetZero(channel);
    result = LinkResult::NoAnswer;
    return 0;
}

LinkResult MemoryRead(int channel, bool& heard) {
    // Bytes left over by an earlier exchange would make the count wrong.
    PurgeReceive();
    const uint8_t parameter = static_cast<uint8_t>(channel);
    SendCommand(BuildCommand(CodeReadMemory, &parameter, 1));
    const int polls = Silent ? static_cast<int>(QuickGiveUpMs / PollPauseMs) : MemoryPolls;
    if (WaitPaced(MemoryAnswer, polls, heard) && MemoryAnswerRead()) {
        std::memcpy(SensorImage[channel], AnswerBuffer + 1, SensorMemorySize);
        NoteAnswered();
        return LinkResult::Answered;
    }
    if (UserEnded)
        return LinkResult::Ended;
    if (heard)
        MayBeArmed = false;
    SensorOnChannel[channel] = false;
    return LinkResult::NoAnswer;
}

#ifndef TAMPON_OSCILLOSCOPE
LinkResult RawPairExchange(RawPair& raw) {
    PurgeReceive();
    const int32_t length = BuildCommand(CodeReadBoth, nullptr, 0);
    if (SendCommand(length) < length)
        LinkBeep();
    bool heard = false;
    if (!WaitForBytes(RawPairAnswer, Silent ? QuickGiveUpMs : ShortExchangeWaitMs, heard) ||
        !WholeAnswer(RawPairAnswer)) {
        return UnansweredExchange(heard);
    }
    raw[0] = AnswerBuffer[1] + 256 * AnswerBuffer[2];
    raw[1] = AnswerBuffer[3] + 256 * AnswerBuffer[4];
    NoteAnswered();
    return LinkResult::Answered;
}
#endif

} // namespace detail

using namespace detail;

namespace {

uint8_t DetectSensor(int channel, LinkResult* result) {
    LinkResult outcome = LinkResult::Busy;
    uint8_t presence = SensorOnChannel[channel] ? 1 : 0;
    {
        ExchangeGuard guard;
        if (!guard.Refused())
            presence = Presence(channel, outcome);
    }
    if (result)
        *result = outcome;
    return presence;
}

} // namespace

uint8_t DetectSensor1(LinkResult* result) {
    return DetectSensor(0, result);
}

uint8_t DetectSensor2(LinkResult* result) {
    return DetectSensor(1, result);
}

LinkResult ReadSensorMemory(int channel) {
    if (!ValidChannel(channel))
        return LinkResult::NoAnswer;
    ExchangeGuard guard;
    if (guard.Refused())
        return LinkResult::Busy;
    bool heard = false;
    const LinkResult result = MemoryRead(channel, heard);
    if (result != LinkResult::NoAnswer)
        return result;
    return UnansweredExchange(heard);
}

LinkResult AcquireBlock(uint8_t a, uint8_t b, uint8_t c, uint8_t triggerChannel, uint16_t level,
                        uint8_t edge, SampleBlock& block) {
    ExchangeGuard guard;
    if (guard.Refused())
        return LinkResult::Busy;
    const uint16_t sentLevel = level >= 1024 ? 0 : level;
    const uint32_t bound = BlockWaitMs(a, b, c, sentLevel);
    PurgeReceive();
    const uint8_t parameters[7] = {
        static_cast<uint8_t>(triggerChannel > 1 ? 0 : triggerChannel),
        a,
        b,
        c,
        static_cast<uint8_t>(sentLevel & 0xFF),
        static_cast<uint8_t>(sentLevel >> 8),
        edge,
    };
    const int32_t length = BuildCommand(CodeBlock, parameters, 7);
    const bool sentWhole = SendCommand(length) == length;
    if (!sentWhole)
        LinkBeep();
    bool heard = false;
    if (WaitForBytes(BlockAnswer, bound, heard) && RxQueueCount == BlockAnswer) {
        bool more = false;
        if (!WaitForBytes(BlockAnswer + 1, BlockSettleMs, more) && !UserEnded &&
            WholeAnswer(BlockAnswer)) {
            ConvertBlock(AnswerBuffer, block);
            NoteAnswered();
            LostBlocks = 0;
            return LinkResult::Answered;
        }
    }
    if (UserEnded)
        return LinkResult::Ended; // the armed block is dropped by the next frame
    if (heard) {
        // Cut or mixed: none of it reaches the next request.
        DropLeftovers();
        if (UserEnded)
            return LinkResult::Ended;
    } else if (sentLevel != 0 && sentWhole && !Silent) {
        // A request cut short on its way armed nothing.
        MayBeArmed = true;
    }
    const LinkResult verdict = Unanswered(heard);
    if (verdict == LinkResult::NoAnswer && ++LostBlocks >= LostBlocksLimit)
        Silent = true;
    return verdict;
}

#ifndef TAMPON_OSCILLOSCOPE
LinkResult ReadRawPair(RawPair& raw) {
    ExchangeGuard guard;
    if (guard.Refused())
        return LinkResult::Busy;
    return RawPairExchange(raw);
}

LinkResult WriteSensorByte(int channel, uint8_t position, uint8_t value) {
    if (!ValidChannel(channel))
        return LinkResult::NoAnswer;
    ExchangeGuard guard;
    if (guard.Refused())
        return LinkResult::Busy;
    PurgeReceive();
    PurgeTransmit();
    const uint8_t parameters[2] = {position, value};
    SendCommand(BuildCommand(channel == 0 ? CodeWrite0 : CodeWrite1, parameters, 2));
    bool heard = false;
    if (!WaitForBytes(WriteAnswer, Silent ? QuickGiveUpMs : ShortExchangeWaitMs, heard) ||
        !WholeAnswer(WriteAnswer)) {
        return UnansweredExchange(heard);
    }
    NoteAnswered();
    if (AnswerBuffer[0] != Acknowledged) {
        LinkBeep();
        return LinkResult::NotAcknowledged;
    }
    return LinkResult::Answered;
}
#endif

namespace detail {

void ResetExchangeState() {
    Silent = false;
    UnderWay = false;
    UserEnded = false;
    MayBeArmed = false;
    PresenceFailing[0] = PresenceFailing[1] = false;
    LostBlocks = 0;
}

} // namespace detail

} // namespace tampon
