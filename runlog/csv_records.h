// Splits CSV text into records by RFC 4180: fields separated by commas,
// records ended by CRLF or LF, quoted fields may hold commas, line ends and
// doubled quotes.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace pump::runlog {

struct CsvRecord {
  std::vector<std::string_view> fields;
  std::size_t lineEnds = 0;  // how many line ends it spans, its own included
  bool terminated = false;   // a line end closed it
};

enum class CsvStatus {
  Record,      // `record` holds the next record; the position moved past it
  NeedMore,    // the text ends inside a record and more may follow
  Unfinished,  // the text ends inside a quoted field and nothing follows
  Malformed,   // a quoted field is followed by something other than , or a line end
};

class CsvSplitter {
 public:
  // Reads the record at `position` in `text`. `atEnd` says no more text will
  // follow, so a record without a line end is the last one. The record's
  // fields view `text` or storage inside the splitter, valid until the next call.
  CsvStatus next(std::string_view text, std::size_t& position, bool atEnd, CsvRecord& record);

 private:
  CsvStatus quotedField(std::string_view text, std::size_t& p, bool atEnd, CsvRecord& record);
  std::deque<std::string> unescaped_;
};

}  // namespace pump::runlog
