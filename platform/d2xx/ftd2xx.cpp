#include "ftd2xx.h"

namespace d2xx {

namespace {

// Answers as a driver with no device attached.
class NoDriver final : public Driver {
public:
    FT_STATUS ListDevices(void* arg1, void*, DWORD flags) override {
        if (flags & FT_LIST_NUMBER_ONLY) {
            if (!arg1)
                return FT_INVALID_PARAMETER;
            *static_cast<DWORD*>(arg1) = 0;
            return FT_OK;
        }
        return FT_DEVICE_NOT_FOUND;
    }
    FT_STATUS OpenEx(void*, DWORD, FT_HANDLE*) override { return FT_DEVICE_NOT_FOUND; }
    FT_STATUS Close(FT_HANDLE) override { return FT_INVALID_HANDLE; }
    FT_STATUS ResetDevice(FT_HANDLE) override { return FT_INVALID_HANDLE; }
    FT_STATUS Purge(FT_HANDLE, ULONG) override { return FT_INVALID_HANDLE; }
    FT_STATUS GetQueueStatus(FT_HANDLE, DWORD*) override { return FT_INVALID_HANDLE; }
    FT_STATUS Write(FT_HANDLE, void*, DWORD, DWORD* written) override {
        if (written)
            *written = 0;
        return FT_INVALID_HANDLE;
    }
    FT_STATUS Read(FT_HANDLE, void*, DWORD, DWORD* read) override {
        if (read)
            *read = 0;
        return FT_INVALID_HANDLE;
    }
};

Driver* Installed = nullptr;

} // namespace

Driver& CurrentDriver() {
    static NoDriver none;
    return Installed ? *Installed : none;
}

void SetDriver(Driver* driver) { Installed = driver; }

} // namespace d2xx

FT_STATUS FT_ListDevices(void* arg1, void* arg2, DWORD flags) {
    return d2xx::CurrentDriver().ListDevices(arg1, arg2, flags);
}
FT_STATUS FT_OpenEx(void* arg1, DWORD flags, FT_HANDLE* handle) {
    return d2xx::CurrentDriver().OpenEx(arg1, flags, handle);
}
FT_STATUS FT_Close(FT_HANDLE handle) { return d2xx::CurrentDriver().Close(handle); }
FT_STATUS FT_ResetDevice(FT_HANDLE handle) { return d2xx::CurrentDriver().ResetDevice(handle); }
FT_STATUS FT_Purge(FT_HANDLE handle, ULONG mask) {
    return d2xx::CurrentDriver().Purge(handle, mask);
}
FT_STATUS FT_GetQueueStatus(FT_HANDLE handle, DWORD* rxBytes) {
    return d2xx::CurrentDriver().GetQueueStatus(handle, rxBytes);
}
FT_STATUS FT_Write(FT_HANDLE handle, void* buffer, DWORD toWrite, DWORD* written) {
    return d2xx::CurrentDriver().Write(handle, buffer, toWrite, written);
}
FT_STATUS FT_Read(FT_HANDLE handle, void* buffer, DWORD toRead, DWORD* read) {
    return d2xx::CurrentDriver().Read(handle, buffer, toRead, read);
}
