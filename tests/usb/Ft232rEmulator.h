// FTDI FT232R chips at the USB level, for tests of the real driver path
// (libusb, libftdi1 and the libftdi backend, all unchanged) without hardware.
//
// The process runs under umockdev-wrapper: each chip is a USB device in a
// umockdev test bed (sysfs attributes and descriptors, so that libusb lists
// it) whose usbfs ioctls a handler answers as the chip would: the control
// requests of the FTDI serial protocol (reset and purges, modem and flow
// control, baud rate, line properties, modem status, latency timer), string
// descriptors, bulk-out writes and bulk-in reads, whose 64-byte packets carry
// the two modem status bytes before at most 62 data bytes. Behind the chip
// the simulated interface's device answers the frames on the program clock:
// on the virtual clock an empty bulk-in read costs one latency period; on the
// real clock (another program talking to the chips) the device's own queue
// poll waits as a chip does.
#pragma once

#include "core/Clock.h"
#include "d2xx/sim/Sim.h"

#include <climits>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

typedef struct _UMockdevTestbed UMockdevTestbed;

namespace usbtest {

// What the chip was asked, for the tests' checks.
struct ChipEvents {
    std::vector<uint8_t> Requests; // bRequest of each vendor control request
    uint8_t LatencyMs = 16;        // the latency timer as last set
    uint32_t BaudDivisor = 0;      // wValue | wIndex << 16 of the last baud rate request
    int Claims = 0;                // interface claims (plain or after detaching the kernel driver)
    int KernelDetaches = 0;        // the kernel's serial driver taken off
    int KernelReattaches = 0;      // and given back
    int BulkOut = 0;               // bulk transfers to the chip
    int BulkIn = 0;                // from the chip
    std::vector<int> InLengths;    // bytes of each bulk-in transfer, status bytes included
};

struct ChipSetup {
    uint16_t ProductId = 0x6001;
    std::string Product = "Interface de mesure";
    std::string Serial = "KV000001";
    // sysfs name: bus and ports ("1-2", "1-1.3").
    std::string SysName = "1-2";
    int Bus = 1;
    int Address = 2;
    uint16_t VendorId = 0x0403;
};

class Ft232rChip;

// A test bed with FT232R chips, on the program clock the caller installed.
class UsbBed {
public:
    UsbBed();
    ~UsbBed();
    UsbBed(const UsbBed&) = delete;
    UsbBed& operator=(const UsbBed&) = delete;

    // True when the process runs under umockdev-wrapper.
    static bool Available();

    // Adds a chip; its simulated device (one sensor slot or two, generators)
    // is set up through Device().
    Ft232rChip& AddChip(const ChipSetup& setup = {});

    UMockdevTestbed* Testbed() const { return Bed; }
    // A transfer's time passes: on the virtual clock, by moving it.
    void Spend(int64_t us);

private:
    UMockdevTestbed* Bed;
    std::vector<std::unique_ptr<Ft232rChip>> Chips;
};

class Ft232rChip {
public:
    Ft232rChip(UsbBed& bed, const ChipSetup& setup);
    ~Ft232rChip();
    Ft232rChip(const Ft232rChip&) = delete;
    Ft232rChip& operator=(const Ft232rChip&) = delete;

    sim::SimDevice& Device() { return Bus.Device(); }
    sim::SimLog& Log() { return Bus.Device().Log(); }
    ChipEvents Events();

    // Pulled out of the bus: no longer listed, every transfer fails.
    void Unplug();
    // Pulled out at that virtual time, as seen by its next transfer (the bus
    // listing changes only with Unplug()).
    void UnplugAt(int64_t us);
    // Another program holds the interface: claims fail (EBUSY).
    void SetBusy(bool busy);

    // The usbfs handler (umockdev's thread).
    bool HandleIoctl(void* client);

private:
    bool Control(uint8_t* setupAndData, int length, int& actual);
    void BulkOut(const uint8_t* data, int length);
    int BulkIn(uint8_t* buffer, int capacity);

    UsbBed& Bed;
    ChipSetup Setup;
    std::string SysPath;
    std::string DevNode;
    void* Handler = nullptr;
    sim::SimBus Bus;
    sim::SimD2xx Firmware{Bus};
    FT_HANDLE Port = nullptr;
    std::mutex Lock;
    ChipEvents Seen;
    bool Gone = false;
    int64_t GoneAtUs = INT64_MAX;
    bool Busy = false;
    std::vector<void*> Done; // completed URBs waiting to be reaped
};

} // namespace usbtest
