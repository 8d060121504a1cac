#include "IniFile.h"

#include "Cp1252.h"

#include <cerrno>
#include <climits>
#include <cstdio>

namespace platform {

struct IniFile::Contents {
    std::vector<std::string> Lines; // without their ends
    std::vector<std::string> Ends;  // "\r\n", "\n"; for the last line also "\r" or empty
    std::string Signature;          // an editor's UTF-8 signature before the first line
    std::string NewLine = "\r\n";   // the end of lines added

    void Insert(size_t at, std::string line) {
        Lines.insert(Lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
        Ends.insert(Ends.begin() + static_cast<std::ptrdiff_t>(at), NewLine);
    }
    void Erase(size_t from, size_t to) {
        Lines.erase(Lines.begin() + static_cast<std::ptrdiff_t>(from),
                    Lines.begin() + static_cast<std::ptrdiff_t>(to));
        Ends.erase(Ends.begin() + static_cast<std::ptrdiff_t>(from),
                   Ends.begin() + static_cast<std::ptrdiff_t>(to));
    }
};

namespace {

constexpr size_t NotFound = static_cast<size_t>(-1);

// Case folding of a Windows-1252 byte: ASCII and the accented Latin letters.
unsigned char FoldByte(unsigned char c) {
    if (c >= 'A' && c <= 'Z')
        return static_cast<unsigned char>(c + 0x20);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return static_cast<unsigned char>(c + 0x20);
    switch (c) {
    case 0x8A: // S caron
    case 0x8C: // OE
    case 0x8E: // Z caron
        return static_cast<unsigned char>(c + 0x10);
    case 0x9F: // Y diaeresis
        return 0xFF;
    default:
        return c;
    }
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldByte(static_cast<unsigned char>(a[i])) !=
            FoldByte(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string Trim(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

// "[name]" (spaces allowed around): true and name set.
bool SectionLine(const std::string& line, std::string& name) {
    const std::string text = Trim(line);
    if (text.empty() || text.front() != '[')
        return false;
    const size_t close = text.find(']');
    name = Trim(text.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return true;
}

// "key=value" outside comments: true with both trimmed.
bool KeyLine(const std::string& line, std::string& key, std::string& value) {
    const std::string text = Trim(line);
    if (text.empty() || text.front() == ';' || text.front() == '[')
        return false;
    const size_t equals = text.find('=');
    if (equals == std::string::npos)
        return false;
    key = Trim(text.substr(0, equals));
    value = Trim(text.substr(equals + 1));
    return !key.empty();
}

// The header line of the first section called name, or NotFound.
size_t FindSection(const std::vector<std::string>& lines, const std::string& name) {
    std::string found;
    for (size_t i = 0; i < lines.size(); ++i)
        if (SectionLine(lines[i], found) && SameName(found, name))
            return i;
    return NotFound;
}

// The line after the last one of the section whose header is at header.
size_t SectionEnd(const std::vector<std::string>& lines, size_t header) {
    std::string name;
    size_t i = header + 1;
    while (i < lines.size() && !SectionLine(lines[i], name))
        ++i;
    return i;
}

// The line of key within the section whose header is at header, or NotFound.
size_t FindKey(const std::vector<std::string>& lines, size_t header, const std::string& key) {
    const size_t end = SectionEnd(lines, header);
    std::string found;
    std::string value;
    for (size_t i = header + 1; i < end; ++i)
        if (KeyLine(lines[i], found, value) && SameName(found, key))
            return i;
    return NotFound;
}

bool FindValue(const std::vector<std::string>& lines, const std::string& section,
               const std::string& key, std::string& value) {
    const size_t header = FindSection(lines, section);
    if (header == NotFound)
        return false;
    const size_t at = FindKey(lines, header, key);
    if (at == NotFound)
        return false;
    std::string name;
    KeyLine(lines[at], name, value);
    return true;
}

bool HasLineBreak(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos;
}

// Sets one value in the lines of a file as a profile write does; false, lines
// unchanged, when the names or the value cannot stand on a profile line.
template <class Contents> bool PutValue(Contents& contents, const IniValue& entry) {
    std::vector<std::string>& lines = contents.Lines;
    const std::string sectionName = Trim(Utf8ToCp1252(entry.Section));
    const std::string keyName = Trim(Utf8ToCp1252(entry.Key));
    const std::string text = Utf8ToCp1252(entry.Value);
    if (sectionName.empty() || HasLineBreak(sectionName) ||
        sectionName.find(']') != std::string::npos)
        return false;
    if (keyName.empty() || HasLineBreak(keyName) || keyName.find('=') != std::string::npos ||
        keyName.front() == '[' || keyName.front() == ';')
        return false;
    if (HasLineBreak(text))
        return false;

    const size_t header = FindSection(lines, sectionName);
    if (header == NotFound) {
        contents.Insert(lines.size(), "[" + sectionName + "]");
        contents.Insert(lines.size(), keyName + "=" + text);
        return true;
    }
    const size_t at = FindKey(lines, header, keyName);
    if (at != NotFound) {
        std::string name;
        std::string old;
        KeyLine(lines[at], name, old);
        lines[at] = name + "=" + text; // the key keeps its spelling in the file
        return true;
    }
    // After the section's last key, so that comments and blank lines that
    // lead into the next section stay with it.
    size_t insertAt = header + 1;
    const size_t end = SectionEnd(lines, header);
    std::string name;
    std::string old;
    for (size_t i = header + 1; i < end; ++i)
        if (KeyLine(lines[i], name, old))
            insertAt = i + 1;
    contents.Insert(insertAt, keyName + "=" + text);
    return true;
}

bool ParseInteger(const std::string& text, int32_t& result) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size())
        return false;
    uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        magnitude = magnitude * base + digit;
        if (magnitude > 0xFFFFFFFFull)
            return false;
    }
    int64_t value;
    if (base == 16) {
        // Hexadecimal spells the 32 bits: "$FFFFFFFF" is -1.
        value = static_cast<int32_t>(static_cast<uint32_t>(magnitude));
    } else {
        value = static_cast<int64_t>(magnitude);
        if (value > static_cast<int64_t>(INT32_MAX) + (negative ? 1 : 0))
            return false;
    }
    result = static_cast<int32_t>(negative ? -value : value);
    return true;
}

} // namespace

IniFile::Contents IniFile::LoadLines() const {
    Contents contents;
    std::FILE* file = std::fopen(Path.c_str(), "rb");
    if (!file)
        return contents;
    std::string bytes;
    char buffer[4096];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, count);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed)
        return contents; // a folder, or a file that cannot be read: empty
    // An editor's UTF-8 signature would hide the first section.
    size_t start = 0;
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) {
        contents.Signature = bytes.substr(0, 3);
        start = 3;
    }
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        std::string lineEnd = "\n";
        if (end == std::string::npos) {
            end = bytes.size();
            lineEnd.clear();
        }
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            // A carriage return ends its line, also when it is the file's last
            // byte: the line reads the same once another line follows it.
            line.pop_back();
            lineEnd = lineEnd.empty() ? "\r" : "\r\n";
        }
        if (contents.Lines.empty() && end < bytes.size())
            contents.NewLine = lineEnd;
        contents.Lines.push_back(std::move(line));
        contents.Ends.push_back(std::move(lineEnd));
        start = end + 1;
    }
    return contents;
}

bool IniFile::SaveLines(const Contents& contents) const {
    std::string bytes = contents.Signature;
    for (size_t i = 0; i < contents.Lines.size(); ++i) {
        bytes += contents.Lines[i];
        // A last line without an end, or ended by a lone carriage return,
        // keeps it so while it stays the last.
        const bool last = i + 1 == contents.Lines.size();
        const std::string& end = contents.Ends[i];
        if (last || end.size() == 2 || end == "\n")
            bytes += end;
        else
            bytes += end.empty() ? contents.NewLine : "\r\n";
    }
    std::FILE* file = std::fopen(Path.c_str(), "wb");
    if (!file)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = std::fflush(file) == 0 && ok;
    ok = std::fclose(file) == 0 && ok;
    return ok;
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& defaultValue) const {
    std::string value;
    if (!FindValue(LoadLines().Lines, Trim(Utf8ToCp1252(section)), Trim(Utf8ToCp1252(key)), value))
        return defaultValue;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return Cp1252ToUtf8(value);
}

int32_t IniFile::ReadInteger(const std::string& section, const std::string& key,
                             int32_t defaultValue) const {
    int32_t value;
    return ParseInteger(ReadString(section, key, {}), value) ? value : defaultValue;
}

bool IniFile::ReadBool(const std::string& section, const std::string& key,
                       bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
    return WriteStrings({{section, key, value}});
}

bool IniFile::WriteStrings(const std::vector<IniValue>& values) {
    Contents contents = LoadLines();
    for (const IniValue& entry : values)
        if (!PutValue(contents, entry))
            return false;
    return SaveLines(contents);
}

bool IniFile::WriteInteger(const std::string& section, const std::string& key, int32_t value) {
    return WriteString(section, key, std::to_string(value));
}

bool IniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    return WriteString(section, key, value ? "1" : "0");
}

bool IniFile::SectionExists(const std::string& section) const {
    const std::vector<std::string> lines = LoadLines().Lines;
    const size_t header = FindSection(lines, Trim(Utf8ToCp1252(section)));
    if (header == NotFound)
        return false;
    std::string key;
    std::string value;
    const size_t end = SectionEnd(lines, header);
    for (size_t i = header + 1; i < end; ++i)
        if (KeyLine(lines[i], key, value))
            return true;
    return false;
}

bool IniFile::ValueExists(const std::string& section, const std::string& key) const {
    std::string value;
    return FindValue(LoadLines().Lines, Trim(Utf8ToCp1252(section)), Trim(Utf8ToCp1252(key)),
                     value);
}

bool IniFile::EraseSection(const std::string& section) {
    const std::string name = Trim(Utf8ToCp1252(section));
    Contents contents = LoadLines();
    bool erased = false;
    for (size_t header; (header = FindSection(contents.Lines, name)) != NotFound;) {
        contents.Erase(header, SectionEnd(contents.Lines, header));
        erased = true;
    }
    return erased ? SaveLines(contents) : true;
}

} // namespace platform
