// Answers of the interface, as they come through the driver, to each of the
// link's exchanges. A fake driver hands out the input: each request written
// releases the next piece of it, which
// may arrive in parts (two length bytes, low first, then the bytes; then the
// size and pace of its parts). Each exchange ends within its bound, and leaves its
// output untouched unless it was answered.
#include "FuzzSupport.h"
#include "core/Clock.h"
#include "d2xx/ftd2xx.h"
#include "tampon.h"

#include <algorithm>
#include <cstring>
#include <deque>

using namespace tampon;

namespace {

// Virtual time each driver call costs: the waits poll without pause, and a
// larger cost than the real driver's lets a fuzz run try more inputs.
constexpr int64_t CallCostUs = 200;

class AnswerDriver final : public d2xx::Driver {
public:
    AnswerDriver(platform::VirtualClock& clock, fuzz::InputReader& input)
        : Clock(clock), Input(input) {}

    FT_STATUS ListDevices(void* arg1, void* arg2, DWORD flags) override {
        Charge();
        if (flags & FT_LIST_NUMBER_ONLY) {
            *static_cast<DWORD*>(arg1) = 1;
            return FT_OK;
        }
        if (arg2 != nullptr)
            std::strcpy(static_cast<char*>(arg2), "Interface de mesure");
        return FT_OK;
    }
    FT_STATUS OpenEx(void*, DWORD, FT_HANDLE* handle) override {
        Charge();
        *handle = this;
        return FT_OK;
    }
    FT_STATUS Close(FT_HANDLE) override { return Charge(); }
    FT_STATUS ResetDevice(FT_HANDLE) override { return Charge(); }
    FT_STATUS Purge(FT_HANDLE, ULONG mask) override {
        Charge();
        if (mask & FT_PURGE_RX)
            Arrived.clear();
        return FT_OK;
    }
    FT_STATUS GetQueueStatus(FT_HANDLE, DWORD* rxBytes) override {
        Charge();
        Deliver();
        *rxBytes = static_cast<DWORD>(Arrived.size());
        return FT_OK;
    }
    FT_STATUS Write(FT_HANDLE, void*, DWORD toWrite, DWORD* written) override {
        Charge();
        // The next piece of the input answers this request, arriving in
        // parts at the pace the input says.
        const int length = Input.Word() % 1024;
        for (int i = 0; i < length && Input.Left() > 0; ++i)
            Pending.push_back(Input.Byte());
        PartBytes = 1 + Input.Byte() % 64;
        PartDelayUs = (Input.Byte() % 16) * 1000;
        NextPartUs = Clock.NowUs() + PartDelayUs;
        *written = toWrite;
        return FT_OK;
    }
    FT_STATUS Read(FT_HANDLE, void* buffer, DWORD toRead, DWORD* read) override {
        Charge();
        Deliver();
        const DWORD count = std::min<DWORD>(toRead, static_cast<DWORD>(Arrived.size()));
        std::copy_n(Arrived.begin(), count, static_cast<uint8_t*>(buffer));
        Arrived.erase(Arrived.begin(), Arrived.begin() + count);
        *read = count;
        return FT_OK;
    }

private:
    FT_STATUS Charge() {
        Clock.AdvanceUs(CallCostUs);
        return FT_OK;
    }
    void Deliver() {
        while (!Pending.empty() && Clock.NowUs() >= NextPartUs) {
            for (int i = 0; i < PartBytes && !Pending.empty(); ++i) {
                Arrived.push_back(Pending.front());
                Pending.pop_front();
            }
            NextPartUs += std::max<int64_t>(PartDelayUs, 1);
        }
    }

    platform::VirtualClock& Clock;
    fuzz::InputReader& Input;
    std::deque<uint8_t> Pending;
    std::deque<uint8_t> Arrived;
    int PartBytes = 1;
    int64_t PartDelayUs = 0;
    int64_t NextPartUs = 0;
};

// An exchange that got no answer may make up to three presence tries after
// it, to learn whether the interface still answers (each 10 ms, then ten
// polls 10 ms apart), and a block drops what is left of a cut answer for up to
// 50 ms; with room for the calls' own cost.
constexpr int64_t ProbeMs = 3 * 110 + 50 + 40;

// An exchange's time on the virtual clock, checked against its bound (plus
// those presence tries and the driver calls' own small cost).
template <class Exchange>
void Timed(platform::VirtualClock& clock, uint32_t boundMs, Exchange run) {
    const int64_t start = clock.NowUs();
    run();
    fuzz::Check(clock.NowUs() - start <= (static_cast<int64_t>(boundMs) + ProbeMs + 50) * 1000,
                "an exchange outlasted its bound");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::InputReader input(data, size);
    const uint8_t choice = input.Byte();
    platform::VirtualClock clock;
    platform::ScopedClock installed(clock);
    AnswerDriver driver(clock, input);
    d2xx::Driver& previous = d2xx::CurrentDriver();
    d2xx::SetDriver(&driver);
    ResetLinkState();
    OpenInterface("Interface de mesure");

    for (int round = 0; round < 4 && input.Left() > 0; ++round) {
        switch ((choice >> (2 * round)) & 7) {
        case 0:
            Timed(clock, 1650 + 100, [] { DetectSensor1(); });
            break;
        case 1:
            Timed(clock, 1100 + 100, [] { DetectSensor2(); });
            break;
        case 2: {
            uint8_t image[SensorMemorySize];
            std::memcpy(image, SensorImage[0], sizeof image);
            LinkResult result = LinkResult::Answered;
            Timed(clock, 1500 + 100, [&] { result = ReadSensorMemory(0); });
            if (result != LinkResult::Answered)
                fuzz::Check(std::memcmp(image, SensorImage[0], sizeof image) == 0,
                            "an unanswered memory read changed the image");
            break;
        }
        case 3:
        case 4: {
            const uint8_t row = input.Byte() % 6;
            constexpr uint8_t A[] = {5, 5, 5, 6, 6, 6};
            const uint8_t a = A[row], b = input.Byte(), c = 1 + input.Byte() % 8;
            const uint16_t level = input.Word() % 1100;
            SampleBlock block;
            for (auto& channel : block)
                channel.fill(-7.0f);
            LinkResult result = LinkResult::Answered;
            Timed(clock, BlockWaitMs(a, b, c, level) + 1650 + 100,
                  [&] { result = AcquireBlock(a, b, c, input.Byte() % 3, level, 0, block); });
            if (result != LinkResult::Answered)
                for (const auto& channel : block)
                    fuzz::Check(std::all_of(channel.begin(), channel.end(),
                                            [](float v) { return v == -7.0f; }),
                                "an unanswered block changed its output");
            break;
        }
#ifndef TAMPON_OSCILLOSCOPE
        case 5: {
            RawPair raw{-7, -7};
            LinkResult result = LinkResult::Answered;
            Timed(clock, ShortExchangeWaitMs, [&] { result = ReadRawPair(raw); });
            if (result != LinkResult::Answered)
                fuzz::Check(raw[0] == -7 && raw[1] == -7,
                            "an unanswered reading changed its output");
            break;
        }
        case 6: {
            ValuePair values{-7.0f, -7.0f};
            LinkResult result = LinkResult::Answered;
            Timed(clock, ShortExchangeWaitMs, [&] { result = ReadChannels(values); });
            if (result != LinkResult::Answered)
                fuzz::Check(values[0] == -7.0f && values[1] == -7.0f,
                            "an unanswered reading changed its values");
            break;
        }
        case 7:
            Timed(clock, ShortExchangeWaitMs,
                  [&] { WriteSensorByte(1, 1 + input.Byte() % 126, 0x41); });
            break;
#endif
        default:
            Timed(clock, 1650 + 1500 + 200, [] { IdentifySensor(0); });
            break;
        }
    }
    CloseInterface();
    ResetLinkState();
    d2xx::SetDriver(&previous);
    return 0;
}
