// The interface link: plain routines over state held once per program, that
// open the measurement interface through the D2XX driver, exchange command
// frames with it, read the sensors' memories into the channel tables and turn
// raw converter counts into physical values.
//
// Two builds from the same sources:
//   - the workbench's (default): single-precision tables, converted values
//     rounded to the sensor's decimals, every routine;
//   - the oscilloscope's (TAMPON_OSCILLOSCOPE): double-precision tables,
//     values not rounded, and no ReadRawPair, WriteSensorByte, ReadChannels
//     or ZeroChannel.
//
// Channel 0 is "voie 1", channel 1 is "voie 2". Everything runs on the GUI
// thread; no exception leaves these routines.
//
// Results of the exchanges. Every routine that talks to the interface tells
// its caller how the exchange went (LinkResult): either as its return value,
// or, where the routine returns a value of its own, through an optional last
// argument. On any result but Answered the routine's output is left untouched.
//   - NoAnswer: no whole answer came within the exchange's bound (nothing, a
//     cut answer, or bytes that are not one whole answer: the tail of an
//     earlier answer that came late, two answers; such bytes are never read
//     as the answer). Whether that is one lost answer or an interface that has
//     stopped answering, InterfaceSilent() tells, right after the exchange:
//     false, the caller skips this reading or block and goes on; true, the
//     calling action or loop tells the user once ("L'interface de mesure ne
//     répond plus.") and ends what it was doing. The link shows nothing for
//     either (but a presence query's own report, below).
//   - NoTrigger: a triggered block whose answer did not come within its bound
//     while the interface may still be waiting for its trigger; a block loop
//     simply asks again.
//   - NotAcknowledged: a memory byte write answered with a status other than
//     0x55 (the link has already beeped).
//   - Busy: refused because another exchange is under way (for instance a
//     timer firing inside the modal box of a failed presence query). Nothing
//     was sent and nothing changed; try again later, tell the user nothing.
//   - Ended: the user ended the measurement while the exchange waited (the
//     program's wait handler, platform/core/Waits.h, said so). Nothing is
//     known about the interface: it is not taken as silent, the channel tables
//     are unchanged, and the caller ends its loop without a message.
//
// Every wait of the link calls platform::WhileWaiting() once per poll round,
// so that the program can repaint its windows and let "Fin" act meanwhile.
//
// The interface has stopped answering (InterfaceSilent()), as the link
// decides it:
//   - an exchange got no whole answer and, right after it, untriggered
//     presence tries (up to three, on a channel whose queries do not keep
//     failing) got no acknowledged answer either. One lost, late or cut answer is therefore
//     never taken for a dead interface, and a presence query that fails on one
//     channel while the other answers is that channel's failure, not the
//     interface's;
//   - or LostBlocksLimit block requests in a row got no whole answer (the
//     interface no longer delivers blocks, for instance when every request is
//     cut short on its way);
//   - but while a triggered block may still be armed on the device (a
//     triggered request came back without a single byte, and nothing has been
//     heard since), silence proves nothing: a device may ignore or hold frames
//     until its trigger comes. Exchanges then make a single try, report
//     nothing and change no table (a block gives NoTrigger), and only a device
//     that the driver no longer lists counts as gone.
// Any answered exchange clears it. While it is set every exchange waits only
// a short time (QuickGiveUpMs), and a presence query makes one try.
#pragma once

#include "d2xx/ftd2xx.h"

#include <array>
#include <cstdint>
#include <string>

namespace tampon {

// ---------------------------------------------------------------------------
// Driver access

// Handle of the open interface (set by OpenInterface).
extern FT_HANDLE InterfaceHandle;
// Number of devices that the last successful GetDeviceCount found.
extern int32_t DeviceCount;
// Receives a device description; only its first 49 characters are used.
extern char DescriptionBuffer[FT_DESCRIPTION_SIZE];
// Bytes waiting in the driver's receive queue, as the last PollQueue found it
// (0 after a failed poll).
extern DWORD RxQueueCount;
// The frame being sent and the last answer read (byte 0: status).
constexpr int LinkBufferSize = 512;
extern uint8_t CommandBuffer[LinkBufferSize];
extern uint8_t AnswerBuffer[LinkBufferSize];

// Number of devices the driver lists, or -1 when the driver call fails.
int32_t GetDeviceCount();
// Description of device `index` into DescriptionBuffer, cut to 49
// characters; the driver status.
FT_STATUS GetDeviceDescription(int32_t index);
// Opens the device with this description (NUL-terminated); the driver status.
FT_STATUS OpenInterface(const char* description);
FT_STATUS CloseInterface();
FT_STATUS ResetInterface();
FT_STATUS PurgeTransmit();
FT_STATUS PurgeReceive();
// Updates RxQueueCount; the driver status.
FT_STATUS PollQueue();
// Writes the first count bytes of CommandBuffer; the number written (0 when
// the driver call fails). count is taken within 0..512.
int32_t SendCommand(int32_t count);
// Reads count bytes into AnswerBuffer; the number read (0 when the driver
// call fails). count is taken within 0..512.
int32_t ReceiveAnswer(int32_t count);

// The opening of the first interface the driver lists, once the caller knows
// that one is listed: its description (cut to 49 characters), the open by that
// description, then two resets 100 ms apart (their statuses are not tested).
enum class OpenOutcome { Opened, NoDescription, OpenFailed };
OpenOutcome OpenFirstInterface();
// Why the driver could not read or open a listed interface, in French
// ("accès refusé ...", "périphérique occupé ..."); empty when it gives no reason.
std::string InterfaceFailureReason();
// What the user is told when the opening failed: "Port  non ouvert", and the
// driver's reason on the next line when it gives one.
std::string OpenFailureMessage();

// ---------------------------------------------------------------------------
// Command frames and exchanges

enum class LinkResult { Answered, NoTrigger, NoAnswer, NotAcknowledged, Busy, Ended };

// "Answered", "NoTrigger", ... (logs and test messages).
const char* LinkResultName(LinkResult result);

// Builds a frame in CommandBuffer: length byte (1 + parameter count), code,
// parameters, check byte (XOR of every byte before it). Returns the frame's
// length (parameter count + 3). At most 8 parameters are taken.
int32_t BuildCommand(uint8_t code, const uint8_t* parameters, int32_t parameterCount);

// Presence query of channel 0 / channel 1: the presence byte (1 = a sensor is
// connected). After 15 (channel 0) or 10 (channel 1) tries without an
// acknowledged answer: ResetCalibration, the channel marked empty, and 0
// (result NoAnswer); when the interface still answers (the other channel's
// query, up to three tries) the channel's failure is shown in the error box "Problème de
// lecture sur la voie 1" (2), once until the channel answers again; when it
// does not, InterfaceSilent() is true and nothing is shown. While the device
// may hold frames for an armed trigger, an unanswered query changes nothing
// and returns the last known presence (result NoAnswer, interface not silent). A
// refused query (Busy) or one ended by the user (Ended) returns the
// channel's last known presence.
uint8_t DetectSensor1(LinkResult* result = nullptr);
uint8_t DetectSensor2(LinkResult* result = nullptr);

// Reads channel's 126-byte sensor memory into SensorImage. Without a complete
// answer within 1.5 s the channel is marked empty, silently, and the image
// keeps its former bytes (result NoAnswer). Bytes after a complete answer
// that starts with the acknowledgement are junk and left for the next purge;
// more bytes than one answer without it count as no answer.
LinkResult ReadSensorMemory(int channel);

// 95 samples per channel; a block holds channel 0's values then channel 1's.
constexpr int BlockSampleCount = 95;
using SampleBlock = std::array<std::array<float, BlockSampleCount>, 2>;

// Sampling interval of a block row, in ms, from its three timing bytes:
// A = 5: B x C / 256; A = 6: B x C / 64; A = 4: B x C / 1024 (the rows beyond
// the sixth). Any other A: 0 (unknown timing).
double BlockIntervalMs(uint8_t a, uint8_t b, uint8_t c);
// How long AcquireBlock waits for the answer: 95 intervals + 1 s, and one
// second more when a trigger level is sent (level 1 to 1023). Once the
// interface is silent: 95 intervals + QuickGiveUpMs.
uint32_t BlockWaitMs(uint8_t a, uint8_t b, uint8_t c, uint16_t level);

// Requests one block of 95 samples on both channels and converts them into
// block (channel 0 first). A trigger channel above 1 is sent as 0, a level of
// 1024 or more as 0 (no trigger); edge 0 rising, 1 falling. Result Answered,
// NoTrigger (a triggered block of which not a byte came: the trigger
// condition did not come, the device may still wait for it), NoAnswer, Busy
// or Ended; block untouched unless Answered. Only bytes that arrive once the
// 95 samples can have been taken, and that are then exactly one whole answer
// standing alone, are read as the block.
LinkResult AcquireBlock(uint8_t a, uint8_t b, uint8_t c, uint8_t triggerChannel, uint16_t level,
                        uint8_t edge, SampleBlock& block);

#ifndef TAMPON_OSCILLOSCOPE
// Raw counts of channel 0 and channel 1 (0 to 65535 as they travel).
using RawPair = std::array<int32_t, 2>;
// One reading of both channels; waits at most 500 ms. raw untouched unless Answered.
LinkResult ReadRawPair(RawPair& raw);
// Writes value at position (1..126) of channel's sensor memory; waits at most
// 500 ms for the acknowledgement. An answer other than 0x55 beeps
// (NotAcknowledged).
LinkResult WriteSensorByte(int channel, uint8_t position, uint8_t value);
#endif

// Longest wait of an exchange once the interface has stopped answering.
constexpr uint32_t QuickGiveUpMs = 100;
// Block requests in a row without a whole answer after which the interface
// counts as no longer answering.
constexpr int LostBlocksLimit = 3;
// Bound of ReadRawPair and WriteSensorByte.
constexpr uint32_t ShortExchangeWaitMs = 500;

// True once the interface has stopped answering (see the top of this file),
// until an exchange is answered again.
bool InterfaceSilent();
// True while an exchange is under way (a new one would be refused as Busy).
bool ExchangeUnderWay();
// True when the last exchange gave up because the user ended the measurement
// (its result was Ended), until the next exchange starts.
bool ExchangeEnded();

// ---------------------------------------------------------------------------
// Sensor memory and channel tables

#ifdef TAMPON_OSCILLOSCOPE
using TamponReal = double;
#else
using TamponReal = float;
#endif

constexpr int SensorMemorySize = 126;
// One copy of each channel's sensor memory: position p (1..126) is
// SensorImage[channel][p - 1]. All "F" at program start.
extern uint8_t SensorImage[2][SensorMemorySize];

// The maker tag of a calibrated sensor (positions 115 to 126).
inline constexpr const char* CalibratedTag = "     TAVEN-Q";

// Channel tables, one entry per channel. Texts are UTF-8 (decoded from the
// memory's Windows-1252); their lengths are counted in characters.
extern bool SensorOnChannel[2];
extern bool SensorCalibrated[2];
extern std::string ChannelLabel[2]; // at most 16 characters
extern std::string ChannelUnit[2];  // at most 6
extern int32_t ChannelDecimals[2];  // 0 to 9
extern std::string ChannelName[2];  // at most 25
extern int32_t CalRawLow[2];
extern TamponReal CalValueLow[2];
extern TamponReal RangeLow[2];
extern TamponReal RangeHigh[2];
extern TamponReal StoredRangeLow[2];
extern TamponReal StoredRangeHigh[2];
// Raw counts of the ends of the range; always RangeRawLow <= RangeRawHigh.
extern int32_t RangeRawLow[2];
extern int32_t RangeRawHigh[2];
// Working calibration: value = raw x ChannelSlope + ChannelOffset.
extern TamponReal ChannelSlope[2];
extern TamponReal ChannelOffset[2];
// Slope and offset as computed from the sensor memory.
extern TamponReal StoredSlope[2];
extern TamponReal StoredOffset[2];

// Presence query, memory read and calibration of one channel; true when the
// channel has a sensor. A tagged memory whose numbers cannot be read, or whose
// calibration points share a raw count or a value, leaves the channel present
// and uncalibrated (raw counts 0 to 1023); the user is warned once per memory
// content. A zero adjustment (ZeroChannel) stays while the same memory
// content is identified on the channel. A refused identification (Busy), or
// one ended by the user (Ended), changes nothing and returns
// SensorOnChannel[channel]. Result NoAnswer when the presence query failed
// (see DetectSensor1) or the memory read timed out (silently, the channel is
// then empty; the presence query was answered, so the interface is not taken
// for silent); InterfaceSilent() tells whether the interface has stopped
// answering altogether.
bool IdentifySensor(int channel, LinkResult* result = nullptr);
// Puts the channel back to raw counts: not calibrated, slope 1, offset 0, raw
// limits 0 and 1023, unit empty.
void ResetCalibration(int channel);
// Positions 115-126 as they stand, or "absent" when the channel has no sensor.
std::string GetSensorSignature(int channel);

// Fields of the channel's sensor image; when the channel has no sensor or is
// not calibrated (or a number cannot be read), the default.
std::string SensorLabel(int channel);     // "Non étalonné"
std::string SensorUnit(int channel);      // ""
std::string SensorName(int channel);      // "Convertisseur 10 bits"
int32_t SensorRawLow(int channel);        // 0
int32_t SensorRawHigh(int channel);       // 1023
long double SensorValueLow(int channel);  // 0
long double SensorValueHigh(int channel); // 1023
long double SensorRangeLow(int channel);  // 0
long double SensorRangeHigh(int channel); // 1023
int32_t SensorDecimals(int channel);      // 0

// ---------------------------------------------------------------------------
// Conversion of raw counts

// The values that stand for a count beyond the sensor's range.
constexpr float OverRangeValue = 3.0e12f;   // 3000000053248
constexpr float UnderRangeValue = -3.0e12f; // -3000000053248

// A raw count of channel as a physical value: UnderRangeValue below
// RangeRawLow, OverRangeValue above RangeRawHigh, otherwise raw x slope +
// offset, rounded in the workbench to ChannelDecimals places (half away from
// zero, at most 8 significant digits).
float ConvertRawCount(int channel, int32_t raw);

#ifndef TAMPON_OSCILLOSCOPE
using ValuePair = std::array<float, 2>;
// One ReadRawPair, both counts converted. values untouched unless Answered.
LinkResult ReadChannels(ValuePair& values);
// Zero adjustment of channel: 25 readings 10 ms apart; the working offset
// becomes -mean x slope, and is returned. Unless Answered, the offset is left
// as it was and returned unchanged.
float ZeroChannel(int channel, LinkResult* result = nullptr);
#endif

// ---------------------------------------------------------------------------

// Puts every piece of link state back as at program start: no handle, empty
// buffers, both images all "F", tables zero and empty, no zero adjustment, no
// warning remembered, interface not silent.
void ResetLinkState();

} // namespace tampon
