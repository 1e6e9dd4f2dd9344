#include "runlog/csv_records.h"

#include <algorithm>

namespace pump::runlog {

namespace {

// After a field: a comma (more fields follow), a line end (the record ends)
// or the end of the text. Returns false for anything else.
enum class After { Comma, LineEnd, TextEnd, Other };

After Separator(std::string_view text, std::size_t& p) {
  if (p >= text.size()) return After::TextEnd;
  if (text[p] == ',') return ++p, After::Comma;
  if (text[p] == '\n') return ++p, After::LineEnd;
  if (text[p] == '\r' && p + 1 < text.size() && text[p + 1] == '\n') return p += 2, After::LineEnd;
  if (text[p] == '\r' && p + 1 == text.size()) return After::TextEnd;
  return After::Other;
}

}  // namespace

CsvStatus CsvSplitter::quotedField(std::string_view text, std::size_t& p, bool atEnd,
                                   CsvRecord& record) {
  const std::size_t open = p;
  std::string* joined = nullptr;
  std::size_t piece = open + 1;
  for (std::size_t q = open + 1;;) {
    const std::size_t close = text.find('"', q);
    if (close == std::string_view::npos || (close + 1 == text.size() && !atEnd)) {
      return atEnd ? CsvStatus::Unfinished : CsvStatus::NeedMore;
    }
    if (close + 1 < text.size() && text[close + 1] == '"') {  // a doubled quote
      if (!joined) joined = &unescaped_.emplace_back();
      joined->append(text.substr(piece, close + 1 - piece));
      q = piece = close + 2;
      continue;
    }
    if (joined) joined->append(text.substr(piece, close - piece));
    const std::string_view field =
        joined ? std::string_view(*joined) : text.substr(open + 1, close - open - 1);
    record.fields.push_back(field);
    record.lineEnds += static_cast<std::size_t>(std::count(field.begin(), field.end(), '\n'));
    p = close + 1;
    return CsvStatus::Record;
  }
}

CsvStatus CsvSplitter::next(std::string_view text, std::size_t& position, bool atEnd,
                            CsvRecord& record) {
  record.fields.clear();
  record.lineEnds = 0;
  record.terminated = false;
  unescaped_.clear();
  std::size_t p = position;
  for (;;) {
    if (p < text.size() && text[p] == '"') {
      if (CsvStatus status = quotedField(text, p, atEnd, record); status != CsvStatus::Record) {
        return status;
      }
    } else {
      std::size_t end = p;
      while (end < text.size() && text[end] != ',' && text[end] != '\n') ++end;
      if (end == text.size() && !atEnd) return CsvStatus::NeedMore;
      std::size_t fieldEnd = end;
      if (end < text.size() && text[end] == '\n' && end > p && text[end - 1] == '\r') --fieldEnd;
      record.fields.push_back(text.substr(p, fieldEnd - p));
      p = fieldEnd;
    }
    switch (Separator(text, p)) {
      case After::Comma:
        continue;
      case After::LineEnd:
        record.terminated = true;
        ++record.lineEnds;
        position = p;
        return CsvStatus::Record;
      case After::TextEnd:
        if (!atEnd) return CsvStatus::NeedMore;
        position = text.size();
        return CsvStatus::Record;
      case After::Other:
        return CsvStatus::Malformed;
    }
  }
}

}  // namespace pump::runlog
