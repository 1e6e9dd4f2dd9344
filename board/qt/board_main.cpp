// pump-board: every pump under one broker root in one window. It takes the
// console's broker settings (kept by the console's settings dialog), with the
// command line on top.
#include <QApplication>
#include <QCommandLineParser>
#include <QSettings>
#include <cstdio>

#include "board/qt/board_window.h"
#include "remote/command_line.h"
#include "remote/mosquitto_connection.h"
#include "remote/qt/remote_settings_store.h"
#include "remote/qt/window_poster.h"

namespace {

constexpr const char* kSharedOptions[] = {"mqtt-url", "mqtt-user", "mqtt-password-file", "mqtt-ca"};
constexpr char kRootOption[] = "mqtt-topic-prefix-root";

// Qt's own options, passed on to QApplication.
constexpr const char* kToolkitOptions[] = {
    "platform", "display", "style", "geometry", "qwindowgeometry", "platformtheme", "stylesheet"};

void DeclareOptions(QCommandLineParser& parser) {
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.setApplicationDescription("Every pump under one MQTT topic root in one window.");
  parser.addOption({{"h", "help"}, "show this help and exit"});
  for (const char* name : kToolkitOptions) {
    QCommandLineOption option(name, QString(), "value");
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(option);
  }
  for (const auto& option : pump::remote::ConsoleOptions()) {
    for (const char* shared : kSharedOptions) {
      if (option.name != shared) continue;
      parser.addOption({QString::fromUtf8(option.name.data(), option.name.size()),
                        QString::fromUtf8(option.description.data(), option.description.size()),
                        QString::fromUtf8(option.valueName.data(), option.valueName.size())});
    }
  }
  parser.addOption(
      {kRootOption, "the topic root the consoles publish under (default: pumps)", "ROOT", "pumps"});
}

pump::remote::CommandLine ReadLine(const QCommandLineParser& parser) {
  pump::remote::CommandLine line;
  for (const char* name : kSharedOptions) {
    if (parser.isSet(name)) pump::remote::SetOption(line, name, parser.value(name).toStdString());
  }
  return line;
}

}  // namespace

// Read before any window exists: --help and a wrong option need no display.
int main(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  QCommandLineParser parser;
  DeclareOptions(parser);
  if (!parser.parse(arguments)) {
    std::fprintf(stderr, "pump-board: %s (see pump-board --help)\n",
                 parser.errorText().toLocal8Bit().constData());
    return 2;
  }
  if (parser.isSet("help")) {
    const QString help = parser.helpText();
    std::printf("Usage: pump-board [options]\n%s",
                help.mid(help.indexOf('\n') + 1).toLocal8Bit().constData());
    return 0;
  }
  QApplication application(argc, argv);
  QApplication::setApplicationName("pump-board");

  QSettings store(QSettings::IniFormat, QSettings::UserScope, "pump-console", "pump-console");
  const auto applied = pump::remote::ApplyOverrides(
      pump::remote::qt::LoadRemoteSettings(store).settings, ReadLine(parser).remote);
  const auto problem =
      applied.error ? applied.error : pump::remote::SettingsProblem(applied.settings);
  const std::string root = parser.value(kRootOption).toStdString();
  if (problem || applied.settings.brokerUrl.empty() || root.empty()) {
    std::fprintf(stderr, "pump-board: %s\n",
                 problem ? problem->c_str() : "no broker: give --mqtt-url URL");
    return 2;
  }

  pump::board::Board board(root, pump::board::FreshRequestPrefix());
  QWidget poster;
  pump::remote::MosquittoConnection connection(applied.settings, pump::remote::qt::PostTo(&poster));
  pump::board::qt::BoardWindow* window = nullptr;
  pump::board::BoardFeed feed(board, connection, &pump::board::BoardTime::Now, [&] {
    if (window) window->boardChanged();
  });
  pump::board::qt::BoardWindow shown(board, feed);
  window = &shown;
  feed.start();
  shown.resize(1000, 760);
  shown.show();
  const int status = application.exec();
  connection.stop({});
  return status;
}
