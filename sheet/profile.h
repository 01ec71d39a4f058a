// The profile layer of the common module Glob: one-value reads and writes of a settings file in the
// Windows profile format ("[Section]" lines, "Key=Value" lines, ";" comments).
//
// The file on disk is Windows-1254 text with CR LF or LF line endings; values cross this interface as
// UTF-8. Section and key names match without regard to ASCII letter case, whatever the process locale.
// A write changes only the one line it must (or adds one key line, or one section) and replaces the file
// atomically. Line breaks and backslashes in values are stored as the escapes \n, \r and \\, so a
// multi-line text stays on one line of the file and comes back exactly as written.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pamerol {

// Longest value a read gives, counted in bytes of the file (after trimming and unquoting).
inline constexpr std::size_t kIniValueMax = 254;

// The value of key in section, or "" when the file, the section or the key is missing or the file
// cannot be read. Spaces around the value are removed, then one pair of enclosing quotes (" or '), then
// the value is cut to kIniValueMax bytes, converted to UTF-8 and its escapes turned back.
std::string IniOku(const std::string& path, std::string_view section, std::string_view key);

// Sets key in section to value, creating the file, the section or the key as needed. Returns nothing on
// success, or the reason of the failure (the file is then left as it was).
std::optional<std::string> IniYaz(const std::string& path, std::string_view section, std::string_view key,
                                  std::string_view value);

// A whole profile file held in memory as its bytes on disk. Reads and writes behave exactly as IniOku
// and IniYaz do on the file; this lets a caller read or write many keys with one file access.
class ProfileText {
  public:
    ProfileText() = default;
    explicit ProfileText(std::string bytes) : bytes_(std::move(bytes)) {}

    std::string read(std::string_view section, std::string_view key) const;
    // Fails (and changes nothing) when a name cannot be stored so that it would read back.
    std::optional<std::string> write(std::string_view section, std::string_view key, std::string_view value);

    const std::string& bytes() const { return bytes_; }

  private:
    std::string bytes_;
};

// Reads a profile file. A missing file gives an empty text; nullopt when the file exists but cannot be
// read, with the reason in *error when error is given.
std::optional<ProfileText> LoadProfile(const std::string& path, std::string* error = nullptr);

// Replaces the file with bytes: a temporary file in the same folder is written and synced, takes the old
// file's permissions and is renamed over the old file; then the folder is synced. A failure leaves the
// old file as it was and no temporary file behind.
std::optional<std::string> ReplaceFileAtomically(const std::string& path, const std::string& bytes);

// Conversions between UTF-8 and Windows-1254. Characters that Windows-1254 cannot hold (and invalid
// UTF-8 bytes) become "?"; the five bytes that Windows-1254 leaves undefined become U+FFFD.
std::string Utf8ToCp1254(std::string_view utf8);
std::string Cp1254ToUtf8(std::string_view bytes);

// The escapes of a stored value: a backslash as \\, a line feed as \n, a carriage return as \r.
// Unescaping keeps a backslash that is followed by anything else as it is, so values from files
// written without escapes load unchanged unless they happen to contain one of the three sequences.
std::string EscapeIniValue(std::string_view text);
std::string UnescapeIniValue(std::string_view stored);

} // namespace pamerol
