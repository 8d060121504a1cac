// The inner state of a simulated device, shared by the device's firmware
// and the simulated driver calls.
#pragma once

#include "d2xx/sim/Sim.h"

#include <deque>
#include <limits>
#include <optional>
#include <vector>

namespace sim {

// The faults that alter one answer, resolved when its frame is handled.
struct AnswerFaults {
    bool NoAnswer = false;
    int64_t LateUs = 0;
    std::optional<uint8_t> Status;
    std::optional<int> Truncate;
    int Extra = 0;
};

struct SimDevice::Impl {
    struct InFlight {
        int64_t AtUs;
        uint8_t Byte;
    };
    struct Chunk {
        int64_t DueUs;
        std::vector<uint8_t> Bytes;
    };
    struct Block {
        int64_t RecordId = -1;
        int Channel = 0;
        bool Falling = false;
        uint16_t Level = 0;
        int64_t Delta = 0; // units
        bool Armed = false;
        int64_t NextLook = 0; // units
        int Looks = 0;
        uint16_t Previous = 0;
        int64_t AutoAt = std::numeric_limits<int64_t>::max(); // units
        int64_t First = 0;                                    // units: sample 1
        int Taken = 0;
        std::vector<uint8_t> Answer;
        AnswerFaults Faults;
    };
    struct WaitingFrame {
        int64_t RecordId;
        std::vector<uint8_t> Bytes;
    };

    std::deque<InFlight> Flight;
    std::vector<Chunk> Chunks; // ordered by due time
    std::deque<uint8_t> Queue;
    int64_t OutputFreeUs = 0; // due time of the last chunk of the last answer
    std::vector<uint8_t> Partial;
    int64_t LastByteUs = 0;
    std::optional<Block> Pending;
    std::deque<WaitingFrame> Waiting;
    bool Present = true;
    bool Lost = false; // left the bus since the last update
    int64_t UpdatedUs = std::numeric_limits<int64_t>::min();
    std::vector<uint8_t> LastWritten;
    Command LastWrittenKind = Command::Unknown;
};

} // namespace sim
