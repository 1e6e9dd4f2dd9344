// The groups the board started, a row each: name, members, step, time left,
// state and the interlock's cause, with 暂停, 继续 and 中止 for the group
// chosen.
#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "board/group_runs.h"

class QTableWidget;

namespace pump::board::qt {

class GroupPanel : public QWidget {
  Q_OBJECT
 public:
  struct Actions {
    std::function<void(const std::string&)> pause, resume, abort;
  };
  explicit GroupPanel(Actions actions, QWidget* parent = nullptr);

  // Follows the groups when they changed since the last call.
  void refresh(const GroupRuns& groups);

 private:
  std::string chosenGroup() const;

  Actions actions_;
  QTableWidget* table_;
  std::uint64_t changesShown_ = ~std::uint64_t{0};
};

}  // namespace pump::board::qt
