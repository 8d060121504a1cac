// Driver access: one thin wrapper per driver call and the state they keep.
#include "tampon.h"
#include "tampon_internal.h"

#include "core/Clock.h"
#include "core/Dialogs.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace tampon {

FT_HANDLE InterfaceHandle = nullptr;
int32_t DeviceCount = 0;
char DescriptionBuffer[FT_DESCRIPTION_SIZE] = {};
DWORD RxQueueCount = 0;
uint8_t CommandBuffer[LinkBufferSize] = {};
uint8_t AnswerBuffer[LinkBufferSize] = {};

namespace {
// Only the first 49 characters of a description are used.
constexpr int DescriptionCut = 49;
} // namespace

int32_t GetDeviceCount() {
    DWORD count = 0;
    if (FT_ListDevices(&count, nullptr, FT_LIST_NUMBER_ONLY) != FT_OK)
        return -1;
    DeviceCount = static_cast<int32_t>(std::min<DWORD>(count, INT32_MAX));
    return DeviceCount;
}

FT_STATUS GetDeviceDescription(int32_t index) {
    const FT_STATUS status =
        FT_ListDevices(reinterpret_cast<void*>(static_cast<intptr_t>(index)), DescriptionBuffer,
                       FT_LIST_BY_INDEX | FT_OPEN_BY_DESCRIPTION);
    DescriptionBuffer[FT_DESCRIPTION_SIZE - 1] = '\0';
    if (status == FT_OK)
        DescriptionBuffer[DescriptionCut] = '\0';
    return status;
}

FT_STATUS OpenInterface(const char* description) {
    return FT_OpenEx(const_cast<char*>(description), FT_OPEN_BY_DESCRIPTION, &InterfaceHandle);
}

FT_STATUS CloseInterface() {
    return FT_Close(InterfaceHandle);
}

FT_STATUS ResetInterface() {
    return FT_ResetDevice(InterfaceHandle);
}

FT_STATUS PurgeTransmit() {
    return FT_Purge(InterfaceHandle, FT_PURGE_TX);
}

FT_STATUS PurgeReceive() {
    return FT_Purge(InterfaceHandle, FT_PURGE_RX);
}

FT_STATUS PollQueue() {
    DWORD waiting = 0;
    const FT_STATUS status = FT_GetQueueStatus(InterfaceHandle, &waiting);
    // A failed poll counts no waiting byte.
    RxQueueCount = status == FT_OK ? waiting : 0;
    return status;
}

int32_t SendCommand(int32_t count) {
    count = std::clamp<int32_t>(count, 0, LinkBufferSize);
    DWORD written = 0;
    if (FT_Write(InterfaceHandle, CommandBuffer, static_cast<DWORD>(count), &written) != FT_OK)
        return 0;
    return static_cast<int32_t>(std::min<DWORD>(written, static_cast<DWORD>(count)));
}

int32_t ReceiveAnswer(int32_t count) {
    count = std::clamp<int32_t>(count, 0, LinkBufferSize);
    DWORD read = 0;
    if (FT_Read(InterfaceHandle, AnswerBuffer, static_cast<DWORD>(count), &read) != FT_OK)
        return 0;
    return static_cast<int32_t>(std::min<DWORD>(read, static_cast<DWORD>(count)));
}

OpenOutcome OpenFirstInterface() {
    if (GetDeviceDescription(0) != FT_OK)
        return OpenOutcome::NoDescription;
    if (OpenInterface(DescriptionBuffer) != FT_OK)
        return OpenOutcome::OpenFailed;
    ResetInterface();
    Sleep(100);
    ResetInterface();
    Sleep(100);
    return OpenOutcome::Opened;
}

std::string InterfaceFailureReason() {
    return d2xx::CurrentDriver().FailureReason();
}

std::string OpenFailureMessage() {
    const std::string reason = InterfaceFailureReason();
    std::string text = "Port  non ouvert";
    if (!reason.empty())
        text += "\r\n" + reason + ".";
    return text;
}

const char* LinkResultName(LinkResult result) {
    switch (result) {
    case LinkResult::Answered:
        return "Answered";
    case LinkResult::NoTrigger:
        return "NoTrigger";
    case LinkResult::NoAnswer:
        return "NoAnswer";
    case LinkResult::NotAcknowledged:
        return "NotAcknowledged";
    case LinkResult::Busy:
        return "Busy";
    case LinkResult::Ended:
        return "Ended";
    }
    return "?";
}

void ResetLinkState() {
    InterfaceHandle = nullptr;
    DeviceCount = 0;
    std::memset(DescriptionBuffer, 0, sizeof DescriptionBuffer);
    RxQueueCount = 0;
    std::memset(CommandBuffer, 0, sizeof CommandBuffer);
    std::memset(AnswerBuffer, 0, sizeof AnswerBuffer);
    detail::ResetExchangeState();
    detail::ResetSensorState();
}

namespace detail {

void ShowLinkMessage(const std::string& text, bool error, const std::string& caption) {
    try {
        platform::MessageDlg(text, error ? platform::MsgType::Error : platform::MsgType::Warning,
                             platform::MbOk, caption);
    } catch (...) {
        // The link reports and goes on; a failing dialog must not stop it.
    }
}

void LinkBeep() {
    try {
        platform::MessageBeep();
    } catch (...) {
    }
}

} // namespace detail

} // namespace tampon
