// The characters of a reply's value as the operator sees them.
#pragma once

#include <string>
#include <string_view>

namespace pump::link {

// The visible stand-in for a byte that shows nothing of its own.
inline constexpr std::string_view kInvisibleByteStandIn = "\xEF\xBF\xBD";  // U+FFFD

// Each byte as one character, in UTF-8: a byte is its Latin-1 character, and
// a byte that Latin-1 leaves invisible (a control byte, the soft hyphen) is
// shown as kInvisibleByteStandIn. So n bytes always give n characters.
std::string ShownCharacters(std::string_view bytes);

}  // namespace pump::link
