// INI files with the platform's profile semantics, as the options files need
// them: sections and keys compared without regard to case, keys with spaces
// written as they are, every other line (comments, unknown keys and sections,
// blank lines) kept in place when a value is written, with their own line
// ends. Text on disk is 8-bit Windows-1252; the interface speaks UTF-8. Each
// call reads the file afresh and each write rewrites it at once; the file is
// not held open. New lines end as the file's first line does (CRLF in a new
// file). A missing or unreadable file reads as empty.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// One value to write: key=Value in Section.
struct IniValue {
    std::string Section;
    std::string Key;
    std::string Value;
};

class IniFile {
public:
    explicit IniFile(std::string fileName) : Path(std::move(fileName)) {}

    const std::string& FileName() const { return Path; }

    // The value of key in section, or defaultValue when the file, the section
    // or the key is missing. Spaces around the value and one pair of quotes
    // enclosing it are dropped.
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const;
    // Decimal, or hexadecimal after "$" or "0x"; defaultValue when the value
    // is missing or not a 32-bit number.
    int32_t ReadInteger(const std::string& section, const std::string& key,
                        int32_t defaultValue) const;
    // A number other than 0 is true.
    bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;

    // Writes key=value into section: the value of an existing key is replaced
    // where it stands; a new key goes after the last key of its section; a new
    // section goes at the end of the file; the file is created when missing.
    // false when the file cannot be written, or when section or key is empty
    // or holds characters a profile line cannot carry (line breaks, "]" in a
    // section, "=" in a key, a line break in the value): nothing then changes.
    bool WriteString(const std::string& section, const std::string& key, const std::string& value);
    // Every value in turn as WriteString would place it, the file written
    // once at the end: either all of them or, when one cannot stand on a
    // profile line or the file cannot be written, none (the file unchanged).
    bool WriteStrings(const std::vector<IniValue>& values);
    bool WriteInteger(const std::string& section, const std::string& key, int32_t value);
    bool WriteBool(const std::string& section, const std::string& key, bool value); // "1"/"0"

    // true when the section holds at least one key.
    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& key) const;
    // Removes the section, its keys and every other line up to the next
    // section. true when done or when there was no such section.
    bool EraseSection(const std::string& section);
    // Writes are never held back, so there is nothing left to write: true.
    bool UpdateFile() { return true; }

private:
    struct Contents; // the file's lines with their own line ends
    Contents LoadLines() const;
    bool SaveLines(const Contents& contents) const;

    std::string Path;
};

} // namespace platform
