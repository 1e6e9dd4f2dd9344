// 联动运行…: the pumps of a group, its steps typed in a table or opened from a
// file, and a preview of each pump's flow and the total with the volume each
// will deliver. 开始 hands the group to the board, which says whether it
// started.
#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "group/group_program.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QTableWidget;

namespace pump::board::qt {

class FlowPreview;

class GroupDialog : public QDialog {
  Q_OBJECT
 public:
  // `start` starts the group and returns why it did not, or nothing.
  using Start = std::function<std::string(const group::GroupProgram&, const std::string& file)>;
  GroupDialog(const std::vector<std::string>& pumps, Start start, QWidget* parent = nullptr);

  // Fills the dialog from a group program, as 打开… does.
  void fill(const group::GroupProgram& program, const std::string& file = {});
  // The group as the table holds it; the first fault shown when there is one.
  std::optional<group::GroupProgram> read();

 private:
  std::vector<std::string> chosenPumps() const;
  void pumpsChanged(const std::vector<std::string>& pumps);
  void addStep(const group::GroupStep& step);
  void open();
  void tableChanged();
  void start();

  Start start_;
  QListWidget* pumps_;
  QLineEdit* name_;
  QTableWidget* steps_;
  FlowPreview* preview_;
  QLabel* volumes_;
  QLabel* fault_;
  std::vector<std::string> shownPumps_;  // the pumps the table's share columns are for
  std::string file_;
  bool filling_ = false;
};

}  // namespace pump::board::qt
