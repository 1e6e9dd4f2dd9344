#include "link/reply_text.h"

namespace pump::link {
namespace {

bool Invisible(unsigned char byte) {
  constexpr unsigned char kSoftHyphen = 0xAD;
  return byte < 0x20 || (byte >= 0x7F && byte < 0xA0) || byte == kSoftHyphen;
}

}  // namespace

std::string ShownCharacters(std::string_view bytes) {
  std::string shown;
  shown.reserve(bytes.size() * 3);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (Invisible(byte)) {
      shown += kInvisibleByteStandIn;
    } else if (byte < 0x80) {
      shown += c;
    } else {  // Latin-1 U+0080..U+00FF in two UTF-8 bytes
      shown += static_cast<char>(0xC0 | (byte >> 6));
      shown += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return shown;
}

}  // namespace pump::link
