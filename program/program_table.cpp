#include "program/program_table.h"

#include <algorithm>
#include <cstdio>

#include "texts/operator_texts.h"

namespace pump::program {
namespace {

std::string_view Trimmed(std::string_view text) {
  const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
  return text;
}

// Digits only, at most nine of them: no sign, no spaces inside.
std::optional<long> Digits(std::string_view text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::optional<long> WholeIn(std::string_view text, long lowest, long highest) {
  const auto value = Digits(Trimmed(text));
  if (!value || *value < lowest || *value > highest) return std::nullopt;
  return value;
}

// "3", "3.0" or "2.5" as tenths; two decimals or none after the point are not.
std::optional<long> Tenths(std::string_view text) {
  text = Trimmed(text);
  const auto point = text.find('.');
  if (point == std::string_view::npos) {
    const auto whole = Digits(text);
    return whole ? std::optional<long>(*whole * 10) : std::nullopt;
  }
  const auto whole = Digits(text.substr(0, point));
  const auto tenth = Digits(text.substr(point + 1));
  if (!whole || !tenth || text.size() - point - 1 != 1) return std::nullopt;
  return *whole * 10 + *tenth;
}

std::string_view ColumnName(int column) {
  switch (column) {
    case kSecondsColumn:
      return texts::kSecondsColumn;
    case kFlowStartColumn:
      return texts::kFlowStartColumn;
    case kFlowEndColumn:
      return texts::kFlowEndColumn;
    case kPressureLimitColumn:
      return texts::kPressureLimitColumn;
    default:
      return texts::kStepColumn;
  }
}

// What is wrong with a cell's text, without where it is; nothing when it reads.
std::optional<std::string_view> CellProblem(int column, std::string_view text) {
  const bool empty = Trimmed(text).empty();
  switch (column) {
    case kSecondsColumn: {
      if (empty) return texts::kSecondsEmpty;
      const auto seconds = ReadSeconds(text);
      if (!seconds || *seconds < 1 || *seconds > kMaxTotalSeconds) return texts::kSecondsWrong;
      return std::nullopt;
    }
    case kFlowStartColumn:
    case kFlowEndColumn:
      if (empty) return texts::kFlowEmpty;
      if (!WholeIn(text, 0, kMaxFlowMlPerMinute)) return texts::kFlowWrong;
      return std::nullopt;
    case kPressureLimitColumn: {
      if (empty) return texts::kPressureLimitEmpty;
      const auto tenths = Tenths(text);
      if (!tenths || *tenths > kMaxPressureLimitTenths) return texts::kPressureLimitWrong;
      return std::nullopt;
    }
    default:
      return std::nullopt;
  }
}

std::optional<Step> ReadRow(const ProgramTable::Row& row) {
  for (int column = kSecondsColumn; column < kColumnCount; ++column)
    if (CellProblem(column, row[column])) return std::nullopt;
  return Step{*ReadSeconds(row[kSecondsColumn]),
              static_cast<int>(*WholeIn(row[kFlowStartColumn], 0, kMaxFlowMlPerMinute)),
              static_cast<int>(*WholeIn(row[kFlowEndColumn], 0, kMaxFlowMlPerMinute)),
              static_cast<int>(*Tenths(row[kPressureLimitColumn]))};
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (;;) {
    const auto at = text.find(separator);
    parts.push_back(text.substr(0, at));
    if (at == std::string_view::npos) return parts;
    text.remove_prefix(at + 1);
  }
}

// The lines of a paste that hold something, \r\n or \n ended.
std::vector<std::string_view> PastedLines(std::string_view text) {
  std::vector<std::string_view> lines;
  for (std::string_view line : Split(text, '\n')) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!Trimmed(line).empty()) lines.push_back(line);
  }
  const auto hasDigit = [](std::string_view line) {
    return std::any_of(line.begin(), line.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  if (!lines.empty() && !hasDigit(lines.front())) lines.erase(lines.begin());
  return lines;
}

}  // namespace

std::optional<long> ReadSeconds(std::string_view text) {
  const auto parts = Split(Trimmed(text), ':');
  if (parts.size() > 3) return std::nullopt;
  long seconds = 0;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const auto part = Digits(parts[i]);
    if (!part || (i > 0 && (*part > 59 || parts[i].size() != 2))) return std::nullopt;
    seconds = seconds * 60 + *part;
  }
  return seconds;
}

std::string VolumeText(double ml) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", ml);
  return text;
}

std::string PressureLimitText(int tenths) {
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

ProgramTable::ProgramTable(std::string name) : name_(std::move(name)) {}

ProgramTable ProgramTable::FromProgram(const Program& program) {
  ProgramTable table(program.name);
  for (const Step& step : program.steps)
    table.rows_.push_back(Row{"", std::to_string(step.seconds), std::to_string(step.flowStartMlMin),
                              std::to_string(step.flowEndMlMin),
                              PressureLimitText(step.pressureLimitTenths)});
  table.markSaved();
  return table;
}

std::string ProgramTable::cell(int row, int column) const {
  if (column == kStepColumn) return std::to_string(row + 1);
  return rows_.at(row).at(column);
}

void ProgramTable::setCell(int row, int column, std::string text) {
  if (column == kStepColumn) return;
  rows_.at(row).at(column) = std::move(text);
}

void ProgramTable::insertRow(int row) {
  row = std::clamp(row, 0, rowCount());
  Row fresh{"", "60", "0", "0", "2.0"};
  if (row > 0) {
    const Row& before = rows_[row - 1];
    fresh[kFlowStartColumn] = fresh[kFlowEndColumn] = before[kFlowEndColumn];
    fresh[kPressureLimitColumn] = before[kPressureLimitColumn];
  }
  rows_.insert(rows_.begin() + row, fresh);
}

void ProgramTable::removeRow(int row) {
  if (row >= 0 && row < rowCount()) rows_.erase(rows_.begin() + row);
}

void ProgramTable::moveRow(int from, int to) {
  if (from < 0 || from >= rowCount() || to < 0 || to >= rowCount() || from == to) return;
  Row moving = std::move(rows_[from]);
  rows_.erase(rows_.begin() + from);
  rows_.insert(rows_.begin() + to, std::move(moving));
}

PastedRows ProgramTable::paste(int row, int column, std::string_view text) {
  row = std::clamp(row, 0, rowCount());
  PastedRows pasted{row, row - 1};
  for (std::string_view line : PastedLines(text)) {
    auto fields = Split(line, '\t');
    int to = std::max(column, static_cast<int>(kSecondsColumn));
    if (fields.size() == kColumnCount) {
      fields.erase(fields.begin());
      to = kSecondsColumn;
    }
    if (pasted.last + 1 >= rowCount()) rows_.push_back(Row{});
    Row& target = rows_[++pasted.last];
    for (std::string_view field : fields) {
      if (to >= kColumnCount) break;
      target[to++] = std::string(Trimmed(field));
    }
  }
  return pasted;
}

std::optional<std::string> ProgramTable::cellFault(int row, int column) const {
  const auto problem = CellProblem(column, rows_.at(row).at(column));
  if (!problem) return std::nullopt;
  return texts::CellFaultPlace(row + 1, std::string(ColumnName(column))) + std::string(*problem);
}

std::vector<CellFault> ProgramTable::faults() const {
  std::vector<CellFault> faults;
  for (int row = 0; row < rowCount(); ++row)
    for (int column = kSecondsColumn; column < kColumnCount; ++column)
      if (auto message = cellFault(row, column)) faults.push_back({row, column, *message});
  if (rows_.empty()) faults.push_back({-1, -1, texts::kProgramHasNoSteps});
  if (rowCount() > kMaxSteps) faults.push_back({-1, -1, texts::kProgramTooManySteps});
  if (draft().totalSeconds() > kMaxTotalSeconds) faults.push_back({-1, -1, texts::kProgramTooLong});
  return faults;
}

std::optional<Program> ProgramTable::program() const {
  if (!faults().empty()) return std::nullopt;
  Program program = draft();
  if (FirstFault(program)) return std::nullopt;
  return program;
}

Program ProgramTable::draft() const {
  Program program{name_, {}};
  for (const Row& row : rows_)
    if (auto step = ReadRow(row)) program.steps.push_back(*step);
  return program;
}

}  // namespace pump::program
