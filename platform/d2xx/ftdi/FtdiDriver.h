// The driver calls on libftdi1, for a real interface.
//
// Devices listed: every USB device of FTDI's vendor id 0x0403, whatever its
// product id (an interface may carry its own), found through libusb and put
// in bus order: bus number, then the chain of hub ports, then the address.
// A device is opened as the listed USB device itself (never by a second
// search), in libftdi's detach-and-reattach mode: the kernel's serial driver
// lets go of it while it is open and takes it back when it is closed.
//
// libftdi has no queue-status call: each open device keeps its own receive
// buffer, which GetQueueStatus fills with one USB read and counts, and which
// Read empties first. The chip's latency timer is set to 2 ms, so a read that
// finds nothing returns within a few milliseconds; no call waits longer than
// that except a write, bounded by its USB time-out.
//
// When a listed device cannot be opened or read, FailureReason() says why in
// French, and libftdi's own error text goes to the error output.
#pragma once

#include "d2xx/ftd2xx.h"

#include <memory>
#include <string>
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
    std::string FailureReason() const override { return Reason; }

private:
    struct Device;
    Device* Find(FT_HANDLE handle) const;

    std::vector<std::unique_ptr<Device>> Devices;
    std::string Reason;
};

// The user's reason, in French, for a libusb error code met while opening a
// listed device (LIBUSB_ERROR_ACCESS: no permission, and so on).
std::string UsbFailureReason(int libusbError);

} // namespace d2xx
