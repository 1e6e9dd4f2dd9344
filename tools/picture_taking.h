// What the picture tools share: waiting on the event loop, and windows saved
// as PNGs with a title bar drawn above them (no window manager draws one
// under Xvfb or offscreen).
#pragma once

#include <QImage>
#include <QString>
#include <functional>

class QWidget;

namespace pump::tools {

// Runs the event loop for `milliseconds`.
void Wait(int milliseconds);
// Runs it until `done` holds, or `milliseconds` have passed; false then.
bool WaitUntil(const std::function<bool()>& done, int milliseconds);
// `body` with a title bar reading `title` above it.
QImage WithTitle(const QImage& body, const QString& title);
// Saves `picture` as `folder`/`name` and says so on the standard output.
void SavePicture(const QImage& picture, const QString& folder, const char* name);
// The window as it shows, under its title.
void SaveWindow(QWidget& window, const QString& folder, const char* name);

}  // namespace pump::tools
