#include "FtdiDriver.h"

#include <algorithm>
#include <cstring>

#include <ftdi.h>

namespace d2xx {

namespace {

constexpr int FtdiVendor = 0x0403;
constexpr int FtdiProducts[] = {0x6001, 0x6010, 0x6011, 0x6014, 0x6015};

constexpr unsigned char LatencyMs = 2;
constexpr int ReadTimeoutMs = 50;   // one USB read; the chip answers within LatencyMs
constexpr int WriteTimeoutMs = 500; // one USB write of a command frame
// Beyond this many unread bytes GetQueueStatus stops reading from the chip.
constexpr size_t ReceiveLimit = 64 * 1024;
constexpr int ReadChunk = 4096;

// The FTDI devices on the bus, found with one libftdi context (the devices
// belong to that context's USB session). Releases its lists when destroyed.
class Scan {
public:
    explicit Scan(ftdi_context* context) : Context(context) {
        if (!Context)
            return;
        for (int product : FtdiProducts) {
            ftdi_device_list* list = nullptr;
            if (ftdi_usb_find_all(Context, &list, FtdiVendor, product) > 0) {
                Lists.push_back(list);
                for (ftdi_device_list* item = list; item; item = item->next)
                    Found.push_back(item->dev);
            } else if (list) {
                ftdi_list_free(&list);
            }
        }
    }
    ~Scan() {
        for (ftdi_device_list* list : Lists)
            ftdi_list_free(&list);
    }
    Scan(const Scan&) = delete;
    Scan& operator=(const Scan&) = delete;

    size_t Count() const { return Found.size(); }
    libusb_device* At(size_t index) const { return Found[index]; }

    // The description or serial number of the device at index, in text
    // (size bytes, NUL-terminated). Status as the driver reports it.
    FT_STATUS String(size_t index, bool serial, char* text, int size) const {
        std::memset(text, 0, static_cast<size_t>(size));
        const int result =
            serial
                ? ftdi_usb_get_strings(Context, Found[index], nullptr, 0, nullptr, 0, text, size)
                : ftdi_usb_get_strings(Context, Found[index], nullptr, 0, text, size, nullptr, 0);
        text[size - 1] = '\0';
        if (result == 0)
            return FT_OK;
        // -4: the device could not be opened (busy or no permission).
        return result == -4 ? FT_DEVICE_NOT_OPENED : FT_IO_ERROR;
    }

private:
    ftdi_context* Context;
    std::vector<ftdi_device_list*> Lists;
    std::vector<libusb_device*> Found;
};

// A libftdi context for one listing, freed at the end of the scope.
struct ContextHolder {
    ftdi_context* Context = ftdi_new();
    ~ContextHolder() {
        if (Context)
            ftdi_free(Context);
    }
};

void Zero(DWORD* count) {
    if (count)
        *count = 0;
}

} // namespace

struct FtdiDriver::Device {
    ftdi_context* Context = nullptr;
    std::vector<uint8_t> Received; // read from the chip, not yet given out

    ~Device() {
        if (Context) {
            ftdi_usb_close(Context);
            ftdi_free(Context);
        }
    }

    // One USB read into Received: < 0 on failure, else the bytes added.
    int Poll(int most) {
        uint8_t chunk[ReadChunk];
        const int got = ftdi_read_data(Context, chunk, std::min(most, ReadChunk));
        if (got > 0)
            Received.insert(Received.end(), chunk, chunk + got);
        return got;
    }
};

FtdiDriver::FtdiDriver() = default;

FtdiDriver::~FtdiDriver() = default;

FtdiDriver::Device* FtdiDriver::Find(FT_HANDLE handle) const {
    if (!handle)
        return nullptr;
    for (const auto& device : Devices)
        if (device.get() == handle)
            return device.get();
    return nullptr;
}

FT_STATUS FtdiDriver::ListDevices(void* arg1, void* arg2, DWORD flags) {
    if (flags & FT_LIST_NUMBER_ONLY) {
        if (!arg1)
            return FT_INVALID_PARAMETER;
        ContextHolder holder;
        // No USB access at all (no bus, no permission): nothing can be listed.
        Scan scan(holder.Context);
        *static_cast<DWORD*>(arg1) = static_cast<DWORD>(scan.Count());
        return FT_OK;
    }
    if (flags & FT_LIST_BY_INDEX) {
        const bool serial = (flags & FT_OPEN_BY_SERIAL_NUMBER) != 0;
        const bool description = (flags & FT_OPEN_BY_DESCRIPTION) != 0;
        if (!arg2 || serial == description)
            return FT_INVALID_PARAMETER;
        const size_t index = reinterpret_cast<uintptr_t>(arg1);
        char* text = static_cast<char*>(arg2);
        text[0] = '\0';
        ContextHolder holder;
        Scan scan(holder.Context);
        if (index >= scan.Count())
            return FT_DEVICE_NOT_FOUND;
        return scan.String(index, serial, text, FT_DESCRIPTION_SIZE);
    }
    return FT_INVALID_PARAMETER;
}

FT_STATUS FtdiDriver::OpenEx(void* arg1, DWORD flags, FT_HANDLE* handle) {
    if (!handle)
        return FT_INVALID_PARAMETER;
    *handle = nullptr;
    const bool serial = flags == FT_OPEN_BY_SERIAL_NUMBER;
    if (!arg1 || (!serial && flags != FT_OPEN_BY_DESCRIPTION))
        return FT_INVALID_PARAMETER;
    const char* wanted = static_cast<const char*>(arg1);

    auto device = std::make_unique<Device>();
    device->Context = ftdi_new();
    if (!device->Context)
        return FT_DEVICE_NOT_FOUND; // no USB access: no device either
    // Before the open: its reset and settings requests obey them too.
    device->Context->usb_read_timeout = ReadTimeoutMs;
    device->Context->usb_write_timeout = WriteTimeoutMs;
    bool unreadable = false;
    {
        Scan scan(device->Context);
        size_t index = 0;
        char text[FT_DESCRIPTION_SIZE];
        for (; index < scan.Count(); ++index) {
            if (scan.String(index, serial, text, sizeof text) != FT_OK)
                unreadable = true;
            else if (std::strcmp(text, wanted) == 0)
                break;
        }
        if (index == scan.Count())
            // A device that could not be asked its name may be the one.
            return unreadable ? FT_DEVICE_NOT_OPENED : FT_DEVICE_NOT_FOUND;
        if (ftdi_usb_open_dev(device->Context, scan.At(index)) != 0)
            return FT_DEVICE_NOT_OPENED;
    }
    ftdi_set_latency_timer(device->Context, LatencyMs);
    *handle = device.get();
    Devices.push_back(std::move(device));
    return FT_OK;
}

FT_STATUS FtdiDriver::Close(FT_HANDLE handle) {
    Device* device = Find(handle);
    if (!device)
        return FT_INVALID_HANDLE;
    Devices.erase(std::find_if(Devices.begin(), Devices.end(),
                               [device](const auto& item) { return item.get() == device; }));
    return FT_OK;
}

FT_STATUS FtdiDriver::ResetDevice(FT_HANDLE handle) {
    Device* device = Find(handle);
    if (!device)
        return FT_INVALID_HANDLE;
    device->Received.clear();
    return ftdi_usb_reset(device->Context) == 0 ? FT_OK : FT_IO_ERROR;
}

FT_STATUS FtdiDriver::Purge(FT_HANDLE handle, ULONG mask) {
    Device* device = Find(handle);
    if (!device)
        return FT_INVALID_HANDLE;
    FT_STATUS status = FT_OK;
    if (mask & FT_PURGE_RX) {
        device->Received.clear();
        if (ftdi_tciflush(device->Context) != 0)
            status = FT_IO_ERROR;
    }
    if ((mask & FT_PURGE_TX) && ftdi_tcoflush(device->Context) != 0)
        status = FT_IO_ERROR;
    return status;
}

FT_STATUS FtdiDriver::GetQueueStatus(FT_HANDLE handle, DWORD* rxBytes) {
    Zero(rxBytes);
    Device* device = Find(handle);
    if (!device)
        return FT_INVALID_HANDLE;
    if (!rxBytes)
        return FT_INVALID_PARAMETER;
    if (device->Received.size() < ReceiveLimit && device->Poll(ReadChunk) < 0)
        return FT_IO_ERROR;
    *rxBytes = static_cast<DWORD>(device->Received.size());
    return FT_OK;
}

FT_STATUS FtdiDriver::Write(FT_HANDLE handle, void* buffer, DWORD toWrite, DWORD* written) {
    Zero(written);
    Device* device = Find(handle);
    if (!device)
        return FT_INVALID_HANDLE;
    if (!written || (!buffer && toWrite > 0) || toWrite > 0x7FFFFFFF)
        return FT_INVALID_PARAMETER;
    if (toWrite == 0)
        return FT_OK;
    const int sent = ftdi_write_data(device->Context, static_cast<const unsigned char*>(buffer),
                                     static_cast<int>(toWrite));
    if (sent < 0)
        return FT_IO_ERROR;
    *written = static_cast<DWORD>(sent);
    return FT_OK;
}

FT_STATUS FtdiDriver::Read(FT_HANDLE handle, void* buffer, DWORD toRead, DWORD* read) {
    Zero(read);
    Device* device = Find(handle);
    if (!device)
        return FT_INVALID_HANDLE;
    if (!read || (!buffer && toRead > 0))
        return FT_INVALID_PARAMETER;
    // What is buffered first; then reads from the chip while they bring
    // bytes, so that a short answer returns after one empty read.
    FT_STATUS status = FT_OK;
    while (device->Received.size() < toRead) {
        const size_t missing = toRead - device->Received.size();
        const int got = device->Poll(static_cast<int>(std::min<size_t>(missing, ReadChunk)));
        if (got < 0)
            status = FT_IO_ERROR;
        if (got <= 0)
            break;
    }
    const size_t count = std::min<size_t>(toRead, device->Received.size());
    if (count > 0) {
        std::memcpy(buffer, device->Received.data(), count);
        device->Received.erase(device->Received.begin(),
                               device->Received.begin() + static_cast<std::ptrdiff_t>(count));
    }
    *read = static_cast<DWORD>(count);
    return status;
}

} // namespace d2xx
