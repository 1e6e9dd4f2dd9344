#include "platform/qt/qt_files.h"

#include <QFile>
#include <QSaveFile>

namespace pump::qt {

FileResult QtFiles::writeWhole(const std::string& path, std::string_view bytes) {
  QSaveFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::WriteOnly)) return {false, file.errorString().toStdString()};
  const auto size = static_cast<qint64>(bytes.size());
  if (file.write(bytes.data(), size) != size) {
    FileResult failed{false, file.errorString().toStdString()};
    file.cancelWriting();
    return failed;
  }
  // Qt 6.4's commit() can report success when its own final flush hit a full
  // disk, leaving an empty file in place of the old one: flush first and give
  // up on any error, so the old file stays.
  if (!file.flush()) {
    FileResult failed{false, file.errorString().toStdString()};
    file.cancelWriting();
    file.commit();
    return failed;
  }
  if (!file.commit()) return {false, file.errorString().toStdString()};
  return {true, {}};
}

FileResult QtFiles::readWhole(const std::string& path, std::string* bytes) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return {false, file.errorString().toStdString()};
  const QByteArray all = file.readAll();
  if (file.error() != QFileDevice::NoError) return {false, file.errorString().toStdString()};
  bytes->assign(all.constData(), static_cast<std::size_t>(all.size()));
  return {true, {}};
}

}  // namespace pump::qt
