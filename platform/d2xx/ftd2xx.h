// The eight D2XX driver calls that the interface link uses, with the
// driver's own names, types, flags and status values. The calls dispatch to
// the installed backend: the libftdi1 driver for a real interface, or the
// simulated measurement interface (INTERFACE_MESURE=simulateur, and tests).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

using DWORD = uint32_t;
using ULONG = uint32_t;
using FT_STATUS = ULONG;
using FT_HANDLE = void*;

constexpr FT_STATUS FT_OK = 0;
constexpr FT_STATUS FT_INVALID_HANDLE = 1;
constexpr FT_STATUS FT_DEVICE_NOT_FOUND = 2;
constexpr FT_STATUS FT_DEVICE_NOT_OPENED = 3;
constexpr FT_STATUS FT_IO_ERROR = 4;
constexpr FT_STATUS FT_INSUFFICIENT_RESOURCES = 5;
constexpr FT_STATUS FT_INVALID_PARAMETER = 6;
constexpr FT_STATUS FT_OTHER_ERROR = 18;

constexpr DWORD FT_LIST_NUMBER_ONLY = 0x80000000;
constexpr DWORD FT_LIST_BY_INDEX = 0x40000000;
constexpr DWORD FT_LIST_ALL = 0x20000000;
constexpr DWORD FT_OPEN_BY_SERIAL_NUMBER = 1;
constexpr DWORD FT_OPEN_BY_DESCRIPTION = 2;

constexpr ULONG FT_PURGE_RX = 1;
constexpr ULONG FT_PURGE_TX = 2;

// Size of the buffer that receives a description (FT_LIST_BY_INDEX).
constexpr int FT_DESCRIPTION_SIZE = 64;

FT_STATUS FT_ListDevices(void* arg1, void* arg2, DWORD flags);
FT_STATUS FT_OpenEx(void* arg1, DWORD flags, FT_HANDLE* handle);
FT_STATUS FT_Close(FT_HANDLE handle);
FT_STATUS FT_ResetDevice(FT_HANDLE handle);
FT_STATUS FT_Purge(FT_HANDLE handle, ULONG mask);
FT_STATUS FT_GetQueueStatus(FT_HANDLE handle, DWORD* rxBytes);
FT_STATUS FT_Write(FT_HANDLE handle, void* buffer, DWORD toWrite, DWORD* written);
FT_STATUS FT_Read(FT_HANDLE handle, void* buffer, DWORD toRead, DWORD* read);

namespace d2xx {

// One backend of the driver calls above, with their exact D2XX meaning.
class Driver {
public:
    virtual ~Driver() = default;
    virtual FT_STATUS ListDevices(void* arg1, void* arg2, DWORD flags) = 0;
    virtual FT_STATUS OpenEx(void* arg1, DWORD flags, FT_HANDLE* handle) = 0;
    virtual FT_STATUS Close(FT_HANDLE handle) = 0;
    virtual FT_STATUS ResetDevice(FT_HANDLE handle) = 0;
    virtual FT_STATUS Purge(FT_HANDLE handle, ULONG mask) = 0;
    virtual FT_STATUS GetQueueStatus(FT_HANDLE handle, DWORD* rxBytes) = 0;
    virtual FT_STATUS Write(FT_HANDLE handle, void* buffer, DWORD toWrite, DWORD* written) = 0;
    virtual FT_STATUS Read(FT_HANDLE handle, void* buffer, DWORD toRead, DWORD* read) = 0;

    // Why the last listing or open that failed on a listed device failed, in
    // French for the user ("accès refusé ..."); empty when the driver gives no
    // reason. Beyond the D2XX calls: the platform's driver has no such call.
    virtual std::string FailureReason() const { return {}; }
};

// The backend in use. Before any install, the calls answer as a driver that
// lists no device.
Driver& CurrentDriver();
// Installs driver (nullptr: none). The caller keeps ownership.
void SetDriver(Driver* driver);

// The name of the environment variable that chooses the backend, and the value
// that selects the simulated interface.
constexpr const char* BackendVariable = "INTERFACE_MESURE";
constexpr const char* SimulatedBackend = "simulateur";

} // namespace d2xx
