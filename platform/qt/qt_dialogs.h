// Message and input boxes on Qt, parented to the main window: modal ones that
// wait for the operator, and notices that do not.
#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QWidget>
#include <map>

#include "platform/ui.h"

namespace pump::qt {

class QtDialogs : public Dialogs {
 public:
  explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  // The window the boxes belong to; it is blocked while one is shown.
  void setParent(QWidget* parent) { parent_ = parent; }

  void showMessage(const std::string& prompt, const std::string& title) override;
  // Window-modal: the main window waits for it, its events do not.
  void showNotice(const std::string& prompt, const std::string& title) override;
  int showChangeableNotice(const std::string& prompt, const std::string& title) override;
  bool noticeShown(int notice) const override;
  void changeNotice(int notice, const std::string& prompt) override;
  std::string askText(const std::string& prompt, const std::string& title,
                      int defaultAnswer) override;
  std::string askWithHints(const HintedInputBox& box) override;
  bool askYesNo(const std::string& prompt, const std::string& title) override;

 private:
  QMessageBox* openNotice(const std::string& prompt, const std::string& title);

  QPointer<QWidget> parent_;
  std::map<int, QPointer<QMessageBox>> changeable_;  // changeable notices, by number
  int lastNotice_ = 0;
};

}  // namespace pump::qt
