#include "d2xx/sim/Sim.h"

#include <cstdio>

namespace sim {

const char* ApiCallName(ApiCall call) {
    switch (call) {
    case ApiCall::ListDevices:
        return "FT_ListDevices";
    case ApiCall::OpenEx:
        return "FT_OpenEx";
    case ApiCall::Close:
        return "FT_Close";
    case ApiCall::ResetDevice:
        return "FT_ResetDevice";
    case ApiCall::Purge:
        return "FT_Purge";
    case ApiCall::GetQueueStatus:
        return "FT_GetQueueStatus";
    case ApiCall::Write:
        return "FT_Write";
    case ApiCall::Read:
        return "FT_Read";
    }
    return "?";
}

const char* OutcomeName(FrameOutcome outcome) {
    switch (outcome) {
    case FrameOutcome::Answered:
        return "Answered";
    case FrameOutcome::Rejected:
        return "Rejected";
    case FrameOutcome::Pending:
        return "Pending";
    case FrameOutcome::Cancelled:
        return "Cancelled";
    case FrameOutcome::Dropped:
        return "Dropped";
    case FrameOutcome::Queued:
        return "Queued";
    }
    return "?";
}

std::string FrameRecord::Hex() const {
    std::string text;
    char part[4];
    for (uint8_t byte : Bytes) {
        std::snprintf(part, sizeof part, "%02X", byte);
        if (!text.empty())
            text += ' ';
        text += part;
    }
    return text;
}

std::vector<FrameRecord> SimLog::FramesSince(int64_t tUs) const {
    std::vector<FrameRecord> frames;
    for (const auto& frame : FrameList)
        if (frame.TimeUs >= tUs)
            frames.push_back(frame);
    return frames;
}

std::vector<std::string> SimLog::FramesHexSince(int64_t tUs) const {
    std::vector<std::string> hex;
    for (const auto& frame : FrameList)
        if (frame.TimeUs >= tUs)
            hex.push_back(frame.Hex());
    return hex;
}

namespace {

// Upper case, single spaces.
std::string NormalHex(const std::string& text) {
    std::string out;
    bool space = false;
    for (char c : text) {
        if (c == ' ' || c == '\t') {
            space = !out.empty();
            continue;
        }
        if (space)
            out += ' ';
        space = false;
        out += static_cast<char>(c >= 'a' && c <= 'f' ? c - 'a' + 'A' : c);
    }
    return out;
}

std::string Join(const std::vector<std::string>& items) {
    std::string text = "{";
    for (std::size_t i = 0; i < items.size(); ++i)
        text += (i ? ", \"" : "\"") + items[i] + "\"";
    return text + "}";
}

} // namespace

std::string SimLog::ExpectFrames(const std::vector<std::string>& expected, int64_t sinceUs) const {
    std::vector<std::string> want;
    for (const auto& item : expected)
        want.push_back(NormalHex(item));
    std::vector<FrameRecord> got = FramesSince(sinceUs);
    std::vector<std::string> gotHex;
    for (const auto& frame : got)
        gotHex.push_back(frame.Hex());
    if (gotHex == want)
        return "";
    std::string text = "frames received " + Join(gotHex) + ", expected " + Join(want);
    for (std::size_t i = 0; i < got.size() && i < want.size(); ++i) {
        if (gotHex[i] != want[i]) {
            char at[64];
            std::snprintf(at, sizeof at, "; first difference at frame %zu (t = %.3f ms)", i,
                          static_cast<double>(got[i].TimeUs) / 1000.0);
            text += at;
            break;
        }
    }
    return text;
}

std::optional<BlockRequest> SimLog::LastBlockRequest() const {
    for (auto it = FrameList.rbegin(); it != FrameList.rend(); ++it) {
        if (it->Kind != Command::C0 || it->Bytes.size() < 10)
            continue;
        const auto& b = it->Bytes;
        BlockRequest request;
        request.TimeUs = it->TimeUs;
        request.TriggerChannel = b[2];
        request.A = b[3];
        request.B = b[4];
        request.C = b[5];
        request.Level = static_cast<uint16_t>(b[6] | (b[7] << 8));
        request.Edge = b[8];
        return request;
    }
    return std::nullopt;
}

int SimLog::Count(Command kind) const {
    int n = 0;
    for (const auto& frame : FrameList)
        if (CommandMatches(kind, frame.Kind))
            ++n;
    return n;
}

int SimLog::Count(Command kind, FrameOutcome outcome) const {
    int n = 0;
    for (const auto& frame : FrameList)
        if (CommandMatches(kind, frame.Kind) && frame.Outcome == outcome)
            ++n;
    return n;
}

int64_t SimLog::CallCount(ApiCall call) const {
    int64_t n = 0;
    for (const auto& record : ApiCalls)
        if (record.Call == call)
            n += record.Repeat;
    return n;
}

void SimLog::Clear() {
    FirstFrameId += static_cast<int64_t>(FrameList.size());
    FrameList.clear();
    ApiCalls.clear();
    ResyncBytes = 0;
    DeafBytes = 0;
}

int64_t SimLog::AddFrame(FrameRecord record) {
    if (MaxRecords > 0 && FrameList.size() >= MaxRecords) {
        std::size_t drop = FrameList.size() / 2 + 1;
        FrameList.erase(FrameList.begin(), FrameList.begin() + static_cast<std::ptrdiff_t>(drop));
        FirstFrameId += static_cast<int64_t>(drop);
    }
    FrameList.push_back(std::move(record));
    return FirstFrameId + static_cast<int64_t>(FrameList.size()) - 1;
}

FrameRecord* SimLog::FindFrame(int64_t id) {
    int64_t index = id - FirstFrameId;
    if (index < 0 || index >= static_cast<int64_t>(FrameList.size()))
        return nullptr;
    return &FrameList[static_cast<std::size_t>(index)];
}

void SimLog::AddApi(ApiRecord record) {
    if (!ApiCalls.empty() && record.Call == ApiCall::GetQueueStatus) {
        ApiRecord& last = ApiCalls.back();
        if (last.Call == ApiCall::GetQueueStatus && last.Device == record.Device &&
            last.Status == record.Status && last.Bytes == record.Bytes &&
            last.Arg1 == record.Arg1) {
            ++last.Repeat;
            last.LastTimeUs = record.TimeUs;
            return;
        }
    }
    if (MaxRecords > 0 && ApiCalls.size() >= MaxRecords)
        ApiCalls.erase(ApiCalls.begin(),
                       ApiCalls.begin() + static_cast<std::ptrdiff_t>(ApiCalls.size() / 2 + 1));
    record.LastTimeUs = record.TimeUs;
    ApiCalls.push_back(std::move(record));
}

} // namespace sim
