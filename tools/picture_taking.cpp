#include "tools/picture_taking.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace pump::tools {

void Wait(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

bool WaitUntil(const std::function<bool()>& done, int milliseconds) {
  QElapsedTimer waited;
  waited.start();
  while (!done()) {
    if (waited.elapsed() > milliseconds) return false;
    Wait(50);
  }
  return true;
}

QImage WithTitle(const QImage& body, const QString& title) {
  constexpr int kBar = 24;
  QImage picture(body.width() + 2, body.height() + kBar + 1, QImage::Format_RGB32);
  picture.fill(QColor(0x9a, 0xa4, 0xb4));
  QPainter painter(&picture);
  painter.fillRect(1, 1, body.width(), kBar - 1, QColor(0xdd, 0xe3, 0xec));
  QFont font = QApplication::font();
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::black);
  painter.drawText(QRect(8, 1, body.width() - 16, kBar - 1), Qt::AlignVCenter | Qt::AlignLeft,
                   title);
  painter.drawImage(1, kBar, body);
  return picture;
}

void SavePicture(const QImage& picture, const QString& folder, const char* name) {
  const QString path = folder + "/" + name;
  std::printf("%s %s\n", picture.save(path) ? "wrote" : "could not write", qPrintable(path));
}

void SaveWindow(QWidget& window, const QString& folder, const char* name) {
  SavePicture(WithTitle(window.grab().toImage(), window.windowTitle()), folder, name);
}

}  // namespace pump::tools
