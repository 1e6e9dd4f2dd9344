// The preview of a group: each pump's planned flow and the total over the
// group's time, drawn plainly.
#pragma once

#include <QWidget>
#include <optional>

#include "group/group_program.h"

namespace pump::board::qt {

class FlowPreview : public QWidget {
 public:
  FlowPreview();
  // Nothing draws an empty frame: the table holds no group that may run.
  void plan(std::optional<group::GroupProgram> program);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::optional<group::GroupProgram> program_;
};

}  // namespace pump::board::qt
