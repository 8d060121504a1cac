// Pieces shared by the link's own sources; not for the programs.
#pragma once

#include "tampon.h"

#include <string>

namespace tampon::detail {

inline bool ValidChannel(int channel) {
    return channel == 0 || channel == 1;
}

// Held by every public exchange routine for its whole run: a second exchange
// started meanwhile (from a timer inside a modal box) is refused.
class ExchangeGuard {
public:
    ExchangeGuard();
    ~ExchangeGuard();
    ExchangeGuard(const ExchangeGuard&) = delete;
    ExchangeGuard& operator=(const ExchangeGuard&) = delete;
    bool Refused() const { return !Owner; }

private:
    bool Owner;
};

// The exchanges themselves, without the guard (the caller holds it).
uint8_t Presence(int channel, LinkResult& result);
// The memory read alone: no verdict on the interface's silence (the caller
// decides); heard tells whether any byte came.
LinkResult MemoryRead(int channel, bool& heard);
#ifndef TAMPON_OSCILLOSCOPE
LinkResult RawPairExchange(RawPair& raw);
#endif

// Converts the 95 sample pairs of a block answer (AnswerBuffer) into block.
void ConvertBlock(const uint8_t* answer, SampleBlock& block);

// Zero adjustment memory: the offset set by ZeroChannel and the sensor memory
// it was made with.
void RememberZero(int channel, TamponReal offset);
void ForgetZero(int channel);
// After an identification: the remembered offset again when the same memory
// is on the channel, else the adjustment is forgotten.
void ApplyZero(int channel);

// Shows a box or beeps; whatever the dialog service does, nothing is thrown.
void ShowLinkMessage(const std::string& text, bool error, const std::string& caption);
void LinkBeep();

// Program-start state of each source file.
void ResetExchangeState();
void ResetSensorState();

} // namespace tampon::detail
