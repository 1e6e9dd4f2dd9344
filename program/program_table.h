// A program being edited: a name and rows of cell texts as the operator typed
// them, turned into a Program with a fault per faulty cell. Rows can be
// inserted, deleted, moved and pasted from a spreadsheet. No toolkit: the
// window shows this table and sends the operator's edits to it.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "program/program.h"
#include "program/program_file.h"  // HoursMinutesSeconds

namespace pump::program {

// The table's columns. 步骤 is the row number and holds no text of its own.
enum Column : int {
  kStepColumn = 0,
  kSecondsColumn,
  kFlowStartColumn,
  kFlowEndColumn,
  kPressureLimitColumn,
  kColumnCount
};

// One faulty cell, or the program as a whole (row and column -1), with the
// explanation the operator reads.
struct CellFault {
  int row = -1;
  int column = -1;
  std::string message;
  bool operator==(const CellFault&) const = default;
};

// What a paste touched: rows first to last (inclusive).
struct PastedRows {
  int first = 0;
  int last = -1;
  int count() const { return last - first + 1; }
};

class ProgramTable {
 public:
  using Row = std::array<std::string, kColumnCount>;  // [kStepColumn] stays empty

  explicit ProgramTable(std::string name = {});
  static ProgramTable FromProgram(const Program& program);

  const std::string& name() const { return name_; }
  void setName(std::string name) { name_ = std::move(name); }

  // Whether the name or any cell differs from what the table held when it
  // was last saved or opened (a loaded program starts unmodified). Typing a
  // cell back to its old text leaves nothing modified.
  bool modified() const { return name_ != keptName_ || rows_ != keptRows_; }
  void markSaved() {
    keptName_ = name_;
    keptRows_ = rows_;
  }

  int rowCount() const { return static_cast<int>(rows_.size()); }
  // The text of a cell; the step column reads the 1-based row number.
  std::string cell(int row, int column) const;
  void setCell(int row, int column, std::string text);

  // A new row before `row` (at the end for rowCount()): it holds the flow and
  // the limit the previous row ends with, for 60 s.
  void insertRow(int row);
  void removeRow(int row);
  // Moves a row to `to`, the others closing up.
  void moveRow(int from, int to);
  // Tab-separated lines, as a spreadsheet copies them (\r\n or \n), written
  // over the rows from `row` down, from `column` right, rows added at the end
  // as needed. A line of five fields carries the step number first, which is
  // dropped; a first line with no digit is a heading and is skipped.
  PastedRows paste(int row, int column, std::string_view text);

  // Every faulty cell, in reading order, then a fault of the whole program.
  std::vector<CellFault> faults() const;
  // The fault of one cell, if it has one.
  std::optional<std::string> cellFault(int row, int column) const;
  // The program when the table has no fault.
  std::optional<Program> program() const;
  // The rows that read whole, for totals and the preview while editing.
  Program draft() const;

 private:
  std::string name_;
  std::vector<Row> rows_;
  std::string keptName_;
  std::vector<Row> keptRows_;
};

// Whole seconds from "90" or "01:30" or "00:01:30"; nothing for anything else.
std::optional<long> ReadSeconds(std::string_view text);
// A volume in ml with one decimal.
std::string VolumeText(double ml);
// A limit in tenths of a MPa as "3.0".
std::string PressureLimitText(int tenths);

}  // namespace pump::program
