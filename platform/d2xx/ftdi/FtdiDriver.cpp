#include "FtdiDriver.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <tuple>

#include <ftdi.h>
#include <libusb.h>

namespace d2xx {

namespace {

constexpr uint16_t FtdiVendor = 0x0403;

constexpr unsigned char LatencyMs = 2;
constexpr int ReadTimeoutMs = 50;   // one USB read; the chip answers within LatencyMs
constexpr int WriteTimeoutMs = 500; // one USB write of a command frame
// Beyond this many unread bytes GetQueueStatus stops reading from the chip.
constexpr size_t ReceiveLimit = 64 * 1024;
constexpr int ReadChunk = 4096;

// Where a device sits on the buses: the listing's sort key.
struct BusPlace {
    uint8_t Bus = 0;
    std::vector<uint8_t> Ports;
    uint8_t Address = 0;

    explicit BusPlace(libusb_device* device)
        : Bus(libusb_get_bus_number(device)), Address(libusb_get_device_address(device)) {
        uint8_t ports[8];
        const int count = libusb_get_port_numbers(device, ports, sizeof ports);
        if (count > 0)
            Ports.assign(ports, ports + count);
    }
    bool operator<(const BusPlace& other) const {
        return std::tie(Bus, Ports, Address) < std::tie(other.Bus, other.Ports, other.Address);
    }
};

// The FTDI devices on the bus, found with one libftdi context (the devices
// belong to that context's USB session), in bus order. Holds a reference
// to each until it is destroyed.
class Scan {
public:
    explicit Scan(ftdi_context* context) : Context(context) {
        if (!Context || !Context->usb_ctx)
            return;
        libusb_device** list = nullptr;
        const ssize_t count = libusb_get_device_list(Context->usb_ctx, &list);
        std::vector<std::pair<BusPlace, libusb_device*>> found;
        for (ssize_t i = 0; i < count; ++i) {
            libusb_device_descriptor descriptor{};
            if (libusb_get_device_descriptor(list[i], &descriptor) == 0 &&
                descriptor.idVendor == FtdiVendor)
                found.emplace_back(BusPlace(list[i]), libusb_ref_device(list[i]));
        }
        if (list)
            libusb_free_device_list(list, 1);
        std::stable_sort(found.begin(), found.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& item : found)
            Found.push_back(item.second);
    }
    ~Scan() {
        for (libusb_device* device : Found)
            libusb_unref_device(device);
    }
    Scan(const Scan&) = delete;
    Scan& operator=(const Scan&) = delete;

    size_t Count() const { return Found.size(); }
    libusb_device* At(size_t index) const { return Found[index]; }

    // The description or serial number of the device at index, in text
    // (size bytes, NUL-terminated). On failure, reason says why.
    FT_STATUS String(size_t index, bool serial, char* text, int size, std::string& reason) const {
        std::memset(text, 0, static_cast<size_t>(size));
        const int result =
            serial
                ? ftdi_usb_get_strings(Context, Found[index], nullptr, 0, nullptr, 0, text, size)
                : ftdi_usb_get_strings(Context, Found[index], nullptr, 0, text, size, nullptr, 0);
        text[size - 1] = '\0';
        if (result == 0)
            return FT_OK;
        reason = Explain(Found[index], result, false);
        // -4: the device could not be opened (busy or no permission).
        return result == -4 ? FT_DEVICE_NOT_OPENED : FT_IO_ERROR;
    }

    // The reason of libftdi's failure `result` on device, libftdi's own text
    // to the error output. opening: the result is ftdi_usb_open_dev's, whose
    // codes name a busy device (-5) and a permission refused (-8).
    std::string Explain(libusb_device* device, int result, bool opening) const {
        std::fprintf(stderr, "libftdi: %s (%d)\n", ftdi_get_error_string(Context), result);
        if (opening && result == -5)
            return UsbFailureReason(LIBUSB_ERROR_BUSY);
        if (opening && result == -8)
            return UsbFailureReason(LIBUSB_ERROR_ACCESS);
        // libftdi keeps libusb's code to itself: ask libusb directly.
        libusb_device_handle* probe = nullptr;
        const int opened = libusb_open(device, &probe);
        if (opened != 0)
            return UsbFailureReason(opened);
        // Opened: one request tells a device that left from one that refuses.
        unsigned char languages[4];
        const int asked = libusb_get_string_descriptor(probe, 0, 0, languages, sizeof languages);
        libusb_close(probe);
        return UsbFailureReason(asked < 0 ? asked : LIBUSB_ERROR_IO);
    }

private:
    ftdi_context* Context;
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
    Reason.clear();
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
        return scan.String(index, serial, text, FT_DESCRIPTION_SIZE, Reason);
    }
    return FT_INVALID_PARAMETER;
}

FT_STATUS FtdiDriver::OpenEx(void* arg1, DWORD flags, FT_HANDLE* handle) {
    Reason.clear();
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
    // The kernel's serial driver gets the device back when it is closed.
    device->Context->module_detach_mode = AUTO_DETACH_REATACH_SIO_MODULE;
    {
        Scan scan(device->Context);
        size_t index = 0;
        char text[FT_DESCRIPTION_SIZE];
        std::string unreadable;
        for (; index < scan.Count(); ++index) {
            std::string why;
            if (scan.String(index, serial, text, sizeof text, why) != FT_OK)
                unreadable = why;
            else if (std::strcmp(text, wanted) == 0)
                break;
        }
        if (index == scan.Count()) {
            // A device that could not be asked its name may be the one.
            Reason = unreadable;
            return unreadable.empty() ? FT_DEVICE_NOT_FOUND : FT_DEVICE_NOT_OPENED;
        }
        const int opened = ftdi_usb_open_dev(device->Context, scan.At(index));
        if (opened != 0) {
            Reason = scan.Explain(scan.At(index), opened, true);
            return FT_DEVICE_NOT_OPENED;
        }
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

std::string UsbFailureReason(int libusbError) {
    switch (libusbError) {
    case LIBUSB_ERROR_ACCESS:
        return "accès refusé : ce compte n'a pas le droit d'utiliser le périphérique USB "
               "(règle udev de l'interface à installer, voir le fichier README)";
    case LIBUSB_ERROR_BUSY:
        return "périphérique occupé par un autre programme";
    case LIBUSB_ERROR_NO_DEVICE:
    case LIBUSB_ERROR_NOT_FOUND:
        return "périphérique débranché";
    default:
        return std::string("erreur USB (") + libusb_error_name(libusbError) + ")";
    }
}

} // namespace d2xx
