#include "records/record_file.h"

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "records/sample_text.h"

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

namespace pump::records {
namespace {

constexpr int kSamplesPerLine = 5;
// Blank before, the text, the blank after (the sign is part of the text).
constexpr std::size_t kMaxSampleBytes = kMaxSampleTextBytes + 2;

#ifndef _WIN32
std::filesystem::path HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  if (const passwd* user = getpwuid(getuid()); user != nullptr && user->pw_dir != nullptr) {
    return user->pw_dir;
  }
  return std::filesystem::current_path();
}
#endif

// Writes one sample and the blank after it, with a blank before it unless it
// is negative, and returns the end.
char* WriteSample(char* out, double sample, std::string_view separator) {
  if (!(sample < 0)) *out++ = ' ';
  if (sample == 0) sample = 0;  // -0 is written as 0
  char* const start = out;
  out = WriteSampleText(out, sample);
  if (separator != ".") {
    for (char* c = start; c != out; ++c) {
      if (*c != '.') continue;
      const std::size_t tail = static_cast<std::size_t>(out - c - 1);
      std::memmove(c + separator.size(), c + 1, tail);
      std::memcpy(c, separator.data(), separator.size());
      out = c + separator.size() + tail;
      break;
    }
  }
  *out++ = ' ';
  return out;
}

}  // namespace

std::string DefaultRecordPath() {
#ifdef _WIN32
  return "D:\\mytext.txt";
#else
  return (HomeFolder() / "Documents" / "mytext.txt").string();
#endif
}

std::string LocaleDecimalSeparator() {
  const std::lconv* conventions = std::localeconv();
  if (conventions == nullptr || conventions->decimal_point == nullptr ||
      *conventions->decimal_point == '\0') {
    return ".";
  }
  return conventions->decimal_point;
}

std::string FormatRecord(std::span<const double> samples, std::string_view decimalSeparator) {
  // Laid out in an uninitialised buffer of the worst-case size: only the
  // pages actually written are ever touched.
  const std::size_t perSample = kMaxSampleBytes + decimalSeparator.size();
  const std::size_t worstCase = samples.size() * perSample + samples.size() / kSamplesPerLine * 2;
  const auto buffer = std::make_unique_for_overwrite<char[]>(worstCase);
  char* out = buffer.get();
  for (std::size_t i = 0; i < samples.size(); ++i) {
    out = WriteSample(out, samples[i], decimalSeparator);
    if ((i + 1) % kSamplesPerLine == 0) {
      *out++ = '\r';
      *out++ = '\n';
    }
  }
  return std::string(buffer.get(), out);
}

std::string_view LastLine(std::string_view text) {
  if (text.ends_with("\r\n")) {
    text.remove_suffix(2);
  } else if (text.ends_with('\r')) {
    text.remove_suffix(1);
  }
  const std::size_t lastBreak = text.rfind('\r');
  if (lastBreak == std::string_view::npos) return text;
  std::size_t start = lastBreak + 1;
  if (start < text.size() && text[start] == '\n') ++start;
  return text.substr(start);
}

std::string_view LastLineOfTail(std::string_view tail) {
  const std::string_view line = LastLine(tail);
  return line.size() > kMaxLineBytes ? line.substr(line.size() - kMaxLineBytes) : line;
}

}  // namespace pump::records
