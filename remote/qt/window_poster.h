// Hands tasks from the network thread to the thread of a Qt object (the
// window's), through its event loop. Tasks posted after the object is gone
// are dropped by Qt.
#pragma once

#include <QMetaObject>
#include <QObject>

#include "remote/mosquitto_connection.h"

namespace pump::remote::qt {

inline PostToWindow PostTo(QObject* context) {
  return [context](std::function<void()> task) {
    QMetaObject::invokeMethod(context, std::move(task), Qt::QueuedConnection);
  };
}

}  // namespace pump::remote::qt
