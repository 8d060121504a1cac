// The driver calls on libftdi1, for a real interface.
//
// Devices listed: FTDI's usual USB ids, vendor 0x0403 with products 0x6001
// (FT232R/FT245R), 0x6010 (FT2232), 0x6011 (FT4232), 0x6014 (FT232H) and
// 0x6015 (FT-X series), in that order, then in the order the USB bus gives.
//
// libftdi has no queue-status call: each open device keeps its own receive
// buffer, which GetQueueStatus fills with one USB read and counts, and which
// Read empties first. The chip's latency timer is set to 2 ms, so a read that
// finds nothing returns within a few milliseconds; no call waits longer than
// that except a write, bounded by its USB time-out.
#pragma once

#include "d2xx/ftd2xx.h"

#include <memory>
#include <vector>

namespace d2xx {

class FtdiDriver final : public Driver {
public:
    FtdiDriver();
    ~FtdiDriver() override; // closes the devices still open

    FT_STATUS ListDevices(void* arg1, void* arg2, DWORD flags) override;
    FT_STATUS OpenEx(void* arg1, DWORD flags, FT_HANDLE* handle) override;
    FT_STATUS Close(FT_HANDLE handle) override;
    FT_STATUS ResetDevice(FT_HANDLE handle) override;
    FT_STATUS Purge(FT_HANDLE handle, ULONG mask) override;
    FT_STATUS GetQueueStatus(FT_HANDLE handle, DWORD* rxBytes) override;
    FT_STATUS Write(FT_HANDLE handle, void* buffer, DWORD toWrite, DWORD* written) override;
    FT_STATUS Read(FT_HANDLE handle, void* buffer, DWORD toRead, DWORD* read) override;

private:
    struct Device;
    Device* Find(FT_HANDLE handle) const;

    std::vector<std::unique_ptr<Device>> Devices;
};

} // namespace d2xx
