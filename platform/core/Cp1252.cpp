#include "Cp1252.h"

namespace platform {

namespace {

// Code points of the bytes 80 to 9F; the undefined ones map to themselves.
constexpr char32_t High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t CodePointOf(uint8_t byte) {
    if (byte >= 0x80 && byte < 0xA0)
        return High[byte - 0x80];
    return byte;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The Windows-1252 byte of a code point, or '?'.
char ByteOf(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<char>(cp);
    for (int i = 0; i < 32; ++i) {
        if (High[i] == cp)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

// Decodes UTF-8 and calls emit(code point) for each character, or
// emit(invalid) for each byte of an invalid sequence.
constexpr char32_t Invalid = 0xFFFFFFFF;

template <typename Emit> void ForEachCodePoint(std::string_view text, Emit emit) {
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        const auto lead = static_cast<uint8_t>(text[i]);
        int length = 0;
        char32_t cp = 0;
        char32_t least = 0;
        if (lead < 0x80) {
            emit(static_cast<char32_t>(lead));
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            cp = lead & 0x1F;
            least = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            cp = lead & 0x0F;
            least = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            cp = lead & 0x07;
            least = 0x10000;
        } else {
            emit(Invalid);
            ++i;
            continue;
        }
        bool valid = i + length <= n;
        for (int k = 1; valid && k < length; ++k) {
            const auto next = static_cast<uint8_t>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                valid = false;
            else
                cp = (cp << 6) | (next & 0x3F);
        }
        if (!valid || cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            emit(Invalid);
            ++i;
            continue;
        }
        emit(cp);
        i += length;
    }
}

} // namespace

std::string Cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (char c : bytes)
        AppendUtf8(out, CodePointOf(static_cast<uint8_t>(c)));
    return out;
}

std::string Cp1252ToUtf8(const uint8_t* bytes, std::size_t count) {
    return Cp1252ToUtf8(std::string_view(reinterpret_cast<const char*>(bytes), count));
}

std::string Utf8ToCp1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    ForEachCodePoint(text, [&](char32_t cp) { out += cp == Invalid ? '?' : ByteOf(cp); });
    return out;
}

std::size_t Cp1252Length(std::string_view text) {
    std::size_t count = 0;
    ForEachCodePoint(text, [&](char32_t) { ++count; });
    return count;
}

} // namespace platform
