// A driver that forwards every call to the one installed before it and gives
// a fixed reason for failures, as the libftdi backend does when a listed
// interface cannot be read or opened (no permission, busy, unplugged).
// Installed for its lifetime.
#pragma once

#include "d2xx/ftd2xx.h"

#include <string>

class ReasonDriver final : public d2xx::Driver {
public:
    explicit ReasonDriver(std::string reason)
        : Inner(d2xx::CurrentDriver()), Reason(std::move(reason)) {
        d2xx::SetDriver(this);
    }
    ~ReasonDriver() override { d2xx::SetDriver(&Inner); }
    ReasonDriver(const ReasonDriver&) = delete;
    ReasonDriver& operator=(const ReasonDriver&) = delete;

    FT_STATUS ListDevices(void* arg1, void* arg2, DWORD flags) override {
        return Inner.ListDevices(arg1, arg2, flags);
    }
    FT_STATUS OpenEx(void* arg1, DWORD flags, FT_HANDLE* handle) override {
        return Inner.OpenEx(arg1, flags, handle);
    }
    FT_STATUS Close(FT_HANDLE handle) override { return Inner.Close(handle); }
    FT_STATUS ResetDevice(FT_HANDLE handle) override { return Inner.ResetDevice(handle); }
    FT_STATUS Purge(FT_HANDLE handle, ULONG mask) override { return Inner.Purge(handle, mask); }
    FT_STATUS GetQueueStatus(FT_HANDLE handle, DWORD* rxBytes) override {
        return Inner.GetQueueStatus(handle, rxBytes);
    }
    FT_STATUS Write(FT_HANDLE handle, void* buffer, DWORD toWrite, DWORD* written) override {
        return Inner.Write(handle, buffer, toWrite, written);
    }
    FT_STATUS Read(FT_HANDLE handle, void* buffer, DWORD toRead, DWORD* read) override {
        return Inner.Read(handle, buffer, toRead, read);
    }
    std::string FailureReason() const override { return Reason; }

private:
    d2xx::Driver& Inner;
    std::string Reason;
};
