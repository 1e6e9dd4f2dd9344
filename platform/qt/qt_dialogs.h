// Message and input boxes on Qt, parented to the main window: modal ones that
// wait for the operator, and notices that do not.
#pragma once

#include <QPointer>
#include <QWidget>

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
  std::string askText(const std::string& prompt, const std::string& title,
                      int defaultAnswer) override;
  std::string askWithHints(const HintedInputBox& box) override;
  bool askYesNo(const std::string& prompt, const std::string& title) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace pump::qt
