// The PC side for the simulator's tests: frames, and the driver calls that
// send them and read their answers, through the installed D2XX backend.
#pragma once

#include "d2xx/ftd2xx.h"
#include "d2xx/sim/SimRig.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace simtest {

using Bytes = std::vector<uint8_t>;

// A frame: length byte, code and parameters, check byte.
inline Bytes Frame(std::initializer_list<uint8_t> body) {
    Bytes frame(body.size() + 2);
    frame[0] = static_cast<uint8_t>(body.size());
    uint8_t check = frame[0];
    std::size_t at = 1;
    for (uint8_t b : body) {
        frame[at++] = b;
        check ^= b;
    }
    frame[at] = check;
    return frame;
}

inline Bytes BlockFrame(uint8_t channel, uint8_t a, uint8_t b, uint8_t c, uint16_t level,
                        uint8_t edge) {
    return Frame({0xC0, channel, a, b, c, static_cast<uint8_t>(level & 0xFF),
                  static_cast<uint8_t>(level >> 8), edge});
}

// An opened handle on the rig's device 0.
class Host {
public:
    explicit Host(sim::SimRig& rig, const char* description = sim::DefaultDescription) : Rig(rig) {
        EXPECT_EQ(FT_OpenEx(const_cast<char*>(description), FT_OPEN_BY_DESCRIPTION, &Handle),
                  FT_OK);
    }

    // FT_Write of the whole frame; returns the count written.
    DWORD Send(const Bytes& frame) {
        DWORD written = 12345;
        EXPECT_EQ(FT_Write(Handle, const_cast<uint8_t*>(frame.data()),
                           static_cast<DWORD>(frame.size()), &written),
                  FT_OK);
        return written;
    }
    // Sends at exactly atUs of virtual time.
    DWORD SendAt(int64_t atUs, const Bytes& frame) {
        EXPECT_LE(Rig.NowUs(), atUs) << "the clock is already past the sending time";
        Rig.Clock().AdvanceToUs(atUs);
        return Send(frame);
    }
    DWORD Poll() {
        DWORD n = 0;
        EXPECT_EQ(FT_GetQueueStatus(Handle, &n), FT_OK);
        return n;
    }
    Bytes Read(DWORD count) {
        Bytes out(count);
        DWORD read = 0;
        EXPECT_EQ(FT_Read(Handle, out.data(), count, &read), FT_OK);
        out.resize(read);
        return out;
    }
    // Everything waiting at atUs (the clock is moved there first).
    Bytes ReadAllAt(int64_t atUs) {
        Rig.Clock().AdvanceToUs(atUs);
        return Read(Poll());
    }
    // Polls without pause until `count` bytes wait (or maxPolls); returns the
    // number of polls made.
    int64_t PollUntil(DWORD count, int64_t maxPolls = 1000000) {
        int64_t polls = 0;
        while (polls < maxPolls) {
            ++polls;
            if (Poll() >= count)
                break;
        }
        return polls;
    }

    sim::SimRig& Rig;
    FT_HANDLE Handle = nullptr;
};

} // namespace simtest
