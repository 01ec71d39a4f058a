// SPDX-License-Identifier: GPL-3.0-or-later
// The profile layer of the common module Glob: one-value reads and writes of a settings file in the
// Windows profile format ("[Section]" lines, "Key=Value" lines, ";" comments).
//
// Encoding. Values cross this interface as UTF-8. On disk a file is Windows-1254 text, unless it starts
// with a UTF-8 byte-order mark, or is valid UTF-8 as a whole and holds a byte above 127: such a file is
// read and written as UTF-8 (a file saved by a UTF-8 text editor keeps its letters). A new file, or one of
// plain ASCII, is Windows-1254. A byte-order mark is skipped on read and kept on write. Section and key
// names match without regard to ASCII letter case, whatever the process locale.
//
// Line breaks. A value is stored on one line of the file: a backslash is stored as \\ and a line break
// (CR LF, a lone LF or a lone CR) as \n. A read turns \\ back into a backslash and \n into CR LF, the
// one line-break convention of the sheet; a backslash followed by anything else stays as it is. So a
// text whose line breaks are all CR LF comes back exactly as written; LF or CR breaks come back as CR LF.
//
// Writing. A write changes only the one line it must (or adds one key line, or one section); a key
// whose stored value already reads back as the new value is left byte for byte as it is. A save holds an
// exclusive lock on the file for its whole read-modify-write, so concurrent saves of different keys all
// land; a read holds a shared lock, so it never sees a file that is being rewritten in place.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "base/problem.h"
#include "calc/fields.h"

namespace pamerol {

// Longest value a read gives, counted in characters of the file (bytes of a Windows-1254 file, code
// points of a UTF-8 one) after trimming and unquoting; an escape counts as its two stored characters.
inline constexpr std::size_t kIniValueMax = kSettingTextMax;

// Largest settings file that is read; a larger one is refused.
inline constexpr std::size_t kProfileSizeMax = 16u << 20;

// How long a read or a save waits for another process's lock on the file before it gives up.
inline constexpr std::chrono::milliseconds kProfileLockWait{5000};

// The value of key in section, or "" when the file, the section or the key is missing or the file
// cannot be read. Spaces around the value are removed, then one pair of enclosing quotes (" or '), then
// the value is cut to kIniValueMax characters (never inside an escape), decoded and its escapes turned
// back.
std::string IniOku(const std::string& path, std::string_view section, std::string_view key);

// Sets key in section to value, creating the file, the section or the key as needed. A Problem whose
// message is the reason of the failure when it fails (the file is then left as it was).
Expected<void> IniYaz(const std::string& path, std::string_view section, std::string_view key,
                      std::string_view value);

// A whole profile file held in memory as its bytes on disk. Reads and writes behave exactly as IniOku
// and IniYaz do on the file; this lets a caller read or write many keys with one file access. The
// file's encoding and byte-order mark are decided once, from the bytes it is made from.
class ProfileText {
  public:
    ProfileText() = default;
    explicit ProfileText(std::string bytes);

    std::string read(std::string_view section, std::string_view key) const;
    // Fails (and changes nothing) when a name cannot be stored so that it would read back.
    Expected<void> write(std::string_view section, std::string_view key, std::string_view value);

    std::string bytes() const;
    bool utf8() const { return utf8_; }

  private:
    std::string encode(std::string_view utf8) const;
    std::string decode(std::string_view stored) const;

    bool bom_ = false;
    bool utf8_ = false;
    std::string body_; // the file after its byte-order mark
};

// Reads a profile file under a shared lock. A missing file gives an empty text; a Problem whose message is
// the reason when the path exists but cannot be read, is not a regular file or is larger than
// kProfileSizeMax.
Expected<ProfileText> LoadProfile(const std::string& path);

// One read-modify-write of a profile file: change gets the file as it is (empty when missing) and
// succeeds, or gives a Problem that cancels the save. The whole step holds an exclusive lock on the file
// (waiting at most lockWait for it). The new text replaces the file through a temporary file in the same
// folder, synced and renamed over it, where that keeps the file's owner, group, mode and links; otherwise
// (or when the folder refuses a temporary file) the file is rewritten in place. A file the process may
// not write is not saved. A Problem whose message is the reason of the failure (or the change's own
// Problem) when it fails; a failed replace leaves the old file as it was.
using ProfileChange = std::function<Expected<void>(ProfileText&)>;
Expected<void> UpdateProfile(const std::string& path, const ProfileChange& change,
                             std::chrono::milliseconds lockWait = kProfileLockWait);

// Conversions between UTF-8 and Windows-1254. Characters that Windows-1254 cannot hold (and invalid
// UTF-8 bytes) become "?"; the seven bytes that Windows-1254 leaves undefined become U+FFFD.
std::string Utf8ToCp1254(std::string_view utf8);
std::string Cp1254ToUtf8(std::string_view bytes);

// The escapes of a stored value, as described at the top of this file.
std::string EscapeIniValue(std::string_view text);
std::string UnescapeIniValue(std::string_view stored);

// The text with every line break (CR LF, a lone LF or a lone CR) written as CR LF, the sheet's one
// convention.
std::string WithCrLfLineBreaks(std::string_view text);

} // namespace pamerol
