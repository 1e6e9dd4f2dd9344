#include "app/report_command_line.h"

#include <QCommandLineParser>

#include "report/report_text.h"

namespace pump::app {

namespace {

ReportCommandReading Refusal(const QString& why) {
  return {std::nullopt, "pump-console: " + why.toStdString() +
                            " (usage: pump-console --report LOG.csv --output FILE.pdf"
                            " [--from TIME --to TIME] [--pump-id ID])\n"};
}

// A range bound as UTC milliseconds, or a refusal naming the option.
std::optional<QString> ReadBound(const QCommandLineParser& parser, const QString& name,
                                 std::optional<std::int64_t>& bound) {
  if (!parser.isSet(name)) return std::nullopt;
  bound = report::ParseRangeTime(parser.value(name).toStdString());
  if (bound) return std::nullopt;
  return "--" + name + " " + parser.value(name) +
         " is not a time such as 2026-12-07T14:03:22 or 2026-12-07T14:03:22.517+08:00";
}

}  // namespace

ReportCommandReading ParseReportCommand(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.addOptions({{"report", "the run log", "LOG.csv"},
                     {"output", "the PDF to write", "FILE.pdf"},
                     {"from", "the range's start", "TIME"},
                     {"to", "the range's end", "TIME"},
                     {"pump-id", "the pump's name in the report", "ID"}});
  if (!parser.parse(arguments)) return Refusal(parser.errorText());
  if (!parser.positionalArguments().isEmpty()) {
    return Refusal("unexpected argument " + parser.positionalArguments().first());
  }
  if (parser.value("report").isEmpty()) return Refusal("--report needs a run log");
  if (parser.value("output").isEmpty()) return Refusal("--report needs --output FILE.pdf");
  ReportCommand command{
      parser.value("report").toStdString(), parser.value("output").toStdString(), {}, std::nullopt};
  if (auto why = ReadBound(parser, "from", command.range.fromMs)) return Refusal(*why);
  if (auto why = ReadBound(parser, "to", command.range.toMs)) return Refusal(*why);
  if (command.range.fromMs && command.range.toMs && *command.range.toMs < *command.range.fromMs) {
    return Refusal("--to is before --from");
  }
  if (parser.isSet("pump-id")) command.pumpId = parser.value("pump-id").toStdString();
  return {command, {}};
}

}  // namespace pump::app
