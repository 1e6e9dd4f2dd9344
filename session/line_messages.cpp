#include "session/line_messages.h"

#include "texts/operator_texts.h"

namespace pump::session {
namespace {

const char* AdviceFor(PortError::Kind kind) {
  switch (kind) {
    case PortError::Kind::NotFound:
      return texts::kPortNotFoundAdvice;
    case PortError::Kind::PermissionDenied:
      return texts::kPortPermissionAdvice;
    case PortError::Kind::Busy:
      return texts::kPortBusyAdvice;
    case PortError::Kind::NotSerial:
      return texts::kPortNotSerialAdvice;
    case PortError::Kind::StaleLock:  // has a message of its own
    case PortError::Kind::SettingsRefused:
    case PortError::Kind::Other:
      break;
  }
  return texts::kPortOtherAdvice;
}

std::string CauseOf(const PortError& error) {
  switch (error.kind) {
    case PortError::Kind::NotFound:
      return texts::kCauseNotFound;
    case PortError::Kind::PermissionDenied:
      return texts::kCausePermission;
    case PortError::Kind::Busy:
      return texts::kCauseBusy;
    case PortError::Kind::NotSerial:
      return texts::kCauseNotSerial;
    case PortError::Kind::StaleLock:  // has a message of its own
    case PortError::Kind::SettingsRefused:
    case PortError::Kind::Other:
      break;
  }
  return texts::SystemCause(error.reason);
}

}  // namespace

const char* PortErrorName(PortError::Kind kind) {
  switch (kind) {
    case PortError::Kind::NotFound:
      return "not_found";
    case PortError::Kind::PermissionDenied:
      return "permission_denied";
    case PortError::Kind::Busy:
      return "busy";
    case PortError::Kind::StaleLock:
      return "stale_lock";
    case PortError::Kind::NotSerial:
      return "not_serial";
    case PortError::Kind::SettingsRefused:
      return "settings_refused";
    case PortError::Kind::Other:
      break;
  }
  return "other";
}

std::string CauseOfLoss(const std::string& reason) {
  if (reason.find("Input/output error") != std::string::npos) return texts::kCauseInputOutput;
  return texts::SystemCause(reason);
}

std::string OpenFailedMessage(const std::string& device, const PortError& error) {
  if (error.kind == PortError::Kind::SettingsRefused) return texts::SettingsRefused(device);
  if (error.kind == PortError::Kind::StaleLock) {
    return texts::PortLockStale(device, error.lockFile, error.lockOwner);
  }
  return texts::PortNotOpened(device, CauseOf(error), AdviceFor(error.kind));
}

}  // namespace pump::session
