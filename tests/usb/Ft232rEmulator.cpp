#include "Ft232rEmulator.h"

#include <umockdev.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <linux/ioctl.h>
#include <linux/usbdevice_fs.h>

namespace usbtest {

namespace {

constexpr int PacketSize = 64; // full-speed bulk packets of the FT232R
constexpr int StatusBytes = 2; // modem status at the head of every bulk-in packet
constexpr uint8_t ModemStatus[StatusBytes] = {0x01, 0x60};
constexpr uint8_t EndpointIn = 0x81;
constexpr uint8_t EndpointOut = 0x02;

// Vendor requests of the FTDI serial protocol.
constexpr uint8_t RequestReset = 0x00;
constexpr uint8_t RequestBaudRate = 0x03;
constexpr uint8_t RequestModemStatus = 0x05;
constexpr uint8_t RequestSetLatency = 0x09;
constexpr uint8_t RequestGetLatency = 0x0A;
constexpr uint8_t RequestReadEeprom = 0x90;
// wValue of the reset request, as libftdi names them: 0 resets the port, 2
// drops what waits for the host (tciflush), 1 what the host sent (tcoflush).
constexpr uint16_t ResetPort = 0;
constexpr uint16_t FlushToChip = 1;
constexpr uint16_t FlushToHost = 2;

std::vector<uint8_t> DeviceDescriptor(const ChipSetup& setup) {
    return {18,
            0x01,
            0x00,
            0x02,
            0x00,
            0x00,
            0x00,
            8,
            static_cast<uint8_t>(setup.VendorId & 0xFF),
            static_cast<uint8_t>(setup.VendorId >> 8),
            static_cast<uint8_t>(setup.ProductId & 0xFF),
            static_cast<uint8_t>(setup.ProductId >> 8),
            0x00,
            0x06, // bcdDevice 6.00: an FT232R
            1,
            2,
            3,
            1};
}

std::vector<uint8_t> ConfigurationDescriptor() {
    return {
        9, 0x02, 32,          0,    1,          1,    0,    0xA0, 45, // one interface
        9, 0x04, 0,           0,    2,          0xFF, 0xFF, 0xFF, 2,  // vendor class, two endpoints
        7, 0x05, EndpointIn,  0x02, PacketSize, 0,    0,              // bulk in
        7, 0x05, EndpointOut, 0x02, PacketSize, 0,    0};             // bulk out
}

std::vector<uint8_t> StringDescriptor(const std::string& text) {
    std::vector<uint8_t> bytes{static_cast<uint8_t>(2 + 2 * text.size()), 0x03};
    for (char c : text) {
        bytes.push_back(static_cast<uint8_t>(c));
        bytes.push_back(0);
    }
    return bytes;
}

std::string Hex(const std::vector<uint8_t>& bytes) {
    std::string text;
    char part[3];
    for (uint8_t b : bytes) {
        std::snprintf(part, sizeof part, "%02x", b);
        text += part;
    }
    return text;
}

gboolean OnIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer chip) {
    return static_cast<Ft232rChip*>(chip)->HandleIoctl(client) ? TRUE : FALSE;
}

} // namespace

// A submitted URB, completed at once, waiting to be reaped.
struct Completed {
    UMockdevIoctlData* Urb;
    int Status;
    int Actual;
    std::vector<uint8_t> In; // data for the client's buffer
};

// ---- bed

UsbBed::UsbBed() : Bed(umockdev_testbed_new()) {}

void UsbBed::Spend(int64_t us) {
    if (platform::VirtualClock* clock = platform::CurrentVirtualClock())
        clock->AdvanceUs(us);
}

UsbBed::~UsbBed() {
    Chips.clear();
    g_object_unref(Bed);
}

bool UsbBed::Available() {
    const char* preload = std::getenv("LD_PRELOAD");
    return preload && std::strstr(preload, "libumockdev-preload");
}

Ft232rChip& UsbBed::AddChip(const ChipSetup& setup) {
    Chips.push_back(std::make_unique<Ft232rChip>(*this, setup));
    return *Chips.back();
}

// ---- chip

Ft232rChip::Ft232rChip(UsbBed& bed, const ChipSetup& setup) : Bed(bed), Setup(setup) {
    char node[32];
    std::snprintf(node, sizeof node, "/dev/bus/usb/%03d/%03d", setup.Bus, setup.Address);
    DevNode = node;
    SysPath = "/sys/devices/usb" + std::to_string(setup.Bus) + "/" + setup.SysName;

    Bus.AddDevice(sim::DefaultDescription);
    std::string description = sim::DefaultDescription;
    Firmware.OpenEx(description.data(), FT_OPEN_BY_DESCRIPTION, &Port);

    auto* handler = umockdev_ioctl_base_new();
    Handler = handler;
    g_signal_connect_after(handler, "handle-ioctl", G_CALLBACK(OnIoctl), this);
    umockdev_testbed_attach_ioctl(bed.Testbed(), DevNode.c_str(), handler, nullptr);

    std::vector<uint8_t> descriptors = DeviceDescriptor(setup);
    const std::vector<uint8_t> configuration = ConfigurationDescriptor();
    descriptors.insert(descriptors.end(), configuration.begin(), configuration.end());
    char number[8];
    std::snprintf(number, sizeof number, "%03d", setup.Bus);
    const std::string bus = number;
    std::snprintf(number, sizeof number, "%03d", setup.Address);
    const std::string address = number;
    char ids[16];
    std::snprintf(ids, sizeof ids, "%04x", setup.ProductId);
    const std::string product = ids;
    std::snprintf(ids, sizeof ids, "%04x", setup.VendorId);
    const std::string vendor = ids;
    const std::string record = "P: /devices/usb" + std::to_string(setup.Bus) + "/" + setup.SysName +
                               "\nN: bus/usb/" + bus + "/" + address +
                               "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: DRIVER=usb\n"
                               "E: BUSNUM=" +
                               bus + "\nE: DEVNUM=" + address + "\nE: DEVNAME=" + DevNode +
                               "\nA: busnum=" + std::to_string(setup.Bus) +
                               "\\n\nA: devnum=" + std::to_string(setup.Address) +
                               "\\n\nA: speed=12\\n\nA: bConfigurationValue=1\\n\n"
                               "A: idVendor=" +
                               vendor + "\\n\nA: idProduct=" + product +
                               "\\n\nH: descriptors=" + Hex(descriptors) + "\n";
    umockdev_testbed_add_from_string(bed.Testbed(), record.c_str(), nullptr);
}

Ft232rChip::~Ft232rChip() {
    umockdev_testbed_detach_ioctl(Bed.Testbed(), DevNode.c_str(), nullptr);
    g_object_unref(Handler);
    for (void* done : Done) {
        auto* completed = static_cast<Completed*>(done);
        g_object_unref(completed->Urb);
        delete completed;
    }
}

ChipEvents Ft232rChip::Events() {
    std::lock_guard<std::mutex> hold(Lock);
    return Seen;
}

void Ft232rChip::Unplug() {
    {
        std::lock_guard<std::mutex> hold(Lock);
        Gone = true;
    }
    umockdev_testbed_remove_device(Bed.Testbed(), SysPath.c_str());
}

void Ft232rChip::UnplugAt(int64_t us) {
    std::lock_guard<std::mutex> hold(Lock);
    GoneAtUs = us;
}

void Ft232rChip::SetBusy(bool busy) {
    std::lock_guard<std::mutex> hold(Lock);
    Busy = busy;
}

bool Ft232rChip::HandleIoctl(void* clientPointer) {
    auto* client = static_cast<UMockdevIoctlClient*>(clientPointer);
    std::lock_guard<std::mutex> hold(Lock);
    if (platform::CurrentClock().NowUs() >= GoneAtUs)
        Gone = true;
    const gulong request = umockdev_ioctl_client_get_request(client);
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    const auto fail = [client](int error) {
        umockdev_ioctl_client_complete(client, -1, error);
        return true;
    };
    const auto succeed = [client] {
        umockdev_ioctl_client_complete(client, 0, 0);
        return true;
    };

    switch (request) {
    case USBDEVFS_GET_CAPABILITIES: {
        UMockdevIoctlData* caps = umockdev_ioctl_data_resolve(arg, 0, sizeof(uint32_t), nullptr);
        const uint32_t value = USBDEVFS_CAP_ZERO_PACKET | USBDEVFS_CAP_BULK_CONTINUATION |
                               USBDEVFS_CAP_NO_PACKET_SIZE_LIM | USBDEVFS_CAP_REAP_AFTER_DISCONNECT;
        std::memcpy(caps->data, &value, sizeof value);
        g_object_unref(caps);
        return succeed();
    }
    case USBDEVFS_DISCONNECT_CLAIM:
    case USBDEVFS_CLAIMINTERFACE:
        if (Gone)
            return fail(ENODEV);
        if (Busy)
            return fail(EBUSY);
        ++Seen.Claims;
        if (request == USBDEVFS_DISCONNECT_CLAIM)
            ++Seen.KernelDetaches;
        return succeed();
    case USBDEVFS_IOCTL: {
        UMockdevIoctlData* command =
            umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_ioctl), nullptr);
        const int code = reinterpret_cast<usbdevfs_ioctl*>(command->data)->ioctl_code;
        g_object_unref(command);
        if (code == static_cast<int>(USBDEVFS_CONNECT))
            ++Seen.KernelReattaches;
        else if (code == static_cast<int>(USBDEVFS_DISCONNECT))
            ++Seen.KernelDetaches;
        else
            return fail(ENOTTY);
        return succeed();
    }
    case USBDEVFS_GETDRIVER:
        return fail(ENODATA);
    case USBDEVFS_RELEASEINTERFACE:
    case USBDEVFS_SETCONFIGURATION:
    case USBDEVFS_SETINTERFACE:
    case USBDEVFS_RESET:
    case USBDEVFS_RESETEP:
    case USBDEVFS_CLEAR_HALT:
        return succeed();
    case USBDEVFS_SUBMITURB: {
        if (Gone) {
            // A transfer to a device that left takes its time too, so that
            // waits on the virtual clock come to an end.
            Bed.Spend(1000);
            return fail(ENODEV);
        }
        UMockdevIoctlData* urbData =
            umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_urb), nullptr);
        auto* urb = reinterpret_cast<usbdevfs_urb*>(urbData->data);
        UMockdevIoctlData* buffer =
            umockdev_ioctl_data_resolve(urbData, offsetof(usbdevfs_urb, buffer),
                                        static_cast<gsize>(urb->buffer_length), nullptr);
        auto* done = new Completed{urbData, 0, 0, {}};
        if (urb->type == USBDEVFS_URB_TYPE_CONTROL) {
            std::vector<uint8_t> bytes(buffer->data, buffer->data + urb->buffer_length);
            if (!Control(bytes.data(), urb->buffer_length, done->Actual))
                done->Status = -EPIPE;
            done->In = std::move(bytes);
        } else if (urb->type == USBDEVFS_URB_TYPE_BULK && urb->endpoint == EndpointOut) {
            BulkOut(buffer->data, urb->buffer_length);
            done->Actual = urb->buffer_length;
        } else if (urb->type == USBDEVFS_URB_TYPE_BULK && urb->endpoint == EndpointIn) {
            done->In.resize(static_cast<size_t>(urb->buffer_length));
            done->Actual = BulkIn(done->In.data(), urb->buffer_length);
        } else {
            done->Status = -EPIPE;
        }
        g_object_unref(buffer);
        Done.push_back(done);
        return succeed();
    }
    case USBDEVFS_REAPURB:
    case USBDEVFS_REAPURBNDELAY: {
        if (Done.empty())
            return fail(Gone ? ENODEV : EAGAIN);
        auto* done = static_cast<Completed*>(Done.front());
        Done.erase(Done.begin());
        auto* urb = reinterpret_cast<usbdevfs_urb*>(done->Urb->data);
        urb->status = done->Status;
        urb->actual_length = done->Actual;
        // The client's buffer: same address space, as in the kernel's copy-out.
        if (!done->In.empty())
            std::memcpy(urb->buffer, done->In.data(), done->In.size());
        UMockdevIoctlData* pointer = umockdev_ioctl_data_resolve(arg, 0, sizeof(void*), nullptr);
        umockdev_ioctl_data_set_ptr(pointer, 0, done->Urb);
        g_object_unref(pointer);
        g_object_unref(done->Urb);
        delete done;
        return succeed();
    }
    case USBDEVFS_DISCARDURB:
        return fail(EINVAL); // every URB is completed at once
    default:
        return false;
    }
}

bool Ft232rChip::Control(uint8_t* bytes, int length, int& actual) {
    actual = 0;
    if (length < 8)
        return false;
    const uint8_t type = bytes[0];
    const uint8_t request = bytes[1];
    const uint16_t value = static_cast<uint16_t>(bytes[2] | bytes[3] << 8);
    const uint16_t index = static_cast<uint16_t>(bytes[4] | bytes[5] << 8);
    const int wanted = std::min(length - 8, bytes[6] | bytes[7] << 8);
    uint8_t* data = bytes + 8;
    std::vector<uint8_t> answer;

    if (type == 0x80 && request == 6) { // GET_DESCRIPTOR
        const int kind = value >> 8;
        const int number = value & 0xFF;
        if (kind == 1)
            answer = DeviceDescriptor(Setup);
        else if (kind == 2)
            answer = ConfigurationDescriptor();
        else if (kind == 3 && number == 0)
            answer = {4, 0x03, 0x09, 0x04};
        else if (kind == 3 && number <= 3)
            answer = StringDescriptor(number == 1   ? "FTDI"
                                      : number == 2 ? Setup.Product
                                                    : Setup.Serial);
        else
            return false;
    } else if (type == 0x40) {
        Seen.Requests.push_back(request);
        if (request == RequestReset) {
            if (value == ResetPort)
                Firmware.ResetDevice(Port);
            else if (value == FlushToHost)
                Firmware.Purge(Port, FT_PURGE_RX);
            else if (value == FlushToChip)
                Firmware.Purge(Port, FT_PURGE_TX);
        } else if (request == RequestBaudRate) {
            Seen.BaudDivisor = value | static_cast<uint32_t>(index) << 16;
        } else if (request == RequestSetLatency) {
            Seen.LatencyMs = static_cast<uint8_t>(value & 0xFF);
        }
        return true;
    } else if (type == 0xC0) {
        Seen.Requests.push_back(request);
        if (request == RequestModemStatus)
            answer.assign(ModemStatus, ModemStatus + StatusBytes);
        else if (request == RequestGetLatency)
            answer = {Seen.LatencyMs};
        else if (request == RequestReadEeprom)
            answer = {0xFF, 0xFF};
        else
            return false;
    } else {
        return false;
    }
    actual = std::min(wanted, static_cast<int>(answer.size()));
    std::memcpy(data, answer.data(), static_cast<size_t>(actual));
    return true;
}

void Ft232rChip::BulkOut(const uint8_t* data, int length) {
    ++Seen.BulkOut;
    DWORD written = 0;
    Firmware.Write(Port, const_cast<uint8_t*>(data), static_cast<DWORD>(length), &written);
}

int Ft232rChip::BulkIn(uint8_t* buffer, int capacity) {
    ++Seen.BulkIn;
    DWORD waiting = 0;
    Firmware.GetQueueStatus(Port, &waiting);
    if (waiting == 0) {
        // Nothing to send: the chip answers when its latency timer runs out,
        // with whatever came meanwhile.
        Bed.Spend(static_cast<int64_t>(Seen.LatencyMs) * 1000);
        Firmware.GetQueueStatus(Port, &waiting);
    }
    const int packets = std::max(1, capacity / PacketSize);
    const int room = packets * (PacketSize - StatusBytes);
    std::vector<uint8_t> data(std::min<size_t>(waiting, static_cast<size_t>(room)));
    DWORD got = 0;
    if (!data.empty())
        Firmware.Read(Port, data.data(), static_cast<DWORD>(data.size()), &got);
    // Packets: two status bytes, then up to 62 data bytes each.
    int at = 0;
    size_t taken = 0;
    do {
        const size_t part = std::min<size_t>(PacketSize - StatusBytes, got - taken);
        std::memcpy(buffer + at, ModemStatus, StatusBytes);
        if (part > 0)
            std::memcpy(buffer + at + StatusBytes, data.data() + taken, part);
        at += StatusBytes + static_cast<int>(part);
        taken += part;
    } while (taken < got && at + StatusBytes < capacity);
    Seen.InLengths.push_back(at);
    return at;
}

} // namespace usbtest
