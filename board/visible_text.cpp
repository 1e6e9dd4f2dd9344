#include "board/visible_text.h"

#include <cstdint>
#include <cstdio>

namespace pump::board {
namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

struct Decoded {
  char32_t code;
  std::size_t length;  // 0: not UTF-8
};

// One code point at the front of `text`; overlong forms and surrogates are refused.
Decoded DecodeOne(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
  const std::uint8_t lead = byte(0);
  if (lead < 0x80) return {lead, 1};
  std::size_t length = lead >= 0xF0 && lead < 0xF5 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
  if (lead >= 0xF5) length = 0;
  if (length == 0 || text.size() < length) return {0, 0};
  char32_t code = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return {0, 0};
    code = code << 6 | (byte(i) & 0x3F);
  }
  static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
    return {0, 0};
  return {code, length};
}

bool ActsRatherThanShows(char32_t code) {
  return code < 0x20 || (code >= 0x7F && code <= 0x9F)  // C0, DEL, C1 controls
         || code == 0x061C                              // Arabic letter mark
         || (code >= 0x200B && code <= 0x200F)          // zero widths, LRM, RLM
         || (code >= 0x2028 && code <= 0x202E)          // line breaks, embeddings, overrides
         || (code >= 0x2060 && code <= 0x2069)          // word joiner, isolates
         || code == 0xFEFF;                             // zero-width no-break space
}

}  // namespace

std::string VisibleText(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  while (!text.empty()) {
    const Decoded one = DecodeOne(text);
    if (one.length == 0) {
      shown += kReplacement;
      text.remove_prefix(1);
      continue;
    }
    if (ActsRatherThanShows(one.code)) {
      char code[16];
      std::snprintf(code, sizeof code, "<U+%04X>", static_cast<unsigned>(one.code));
      shown += code;
    } else {
      shown.append(text.substr(0, one.length));
    }
    text.remove_prefix(one.length);
  }
  return shown;
}

}  // namespace pump::board
