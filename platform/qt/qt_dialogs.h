// Message and input boxes on Qt: modal, parented to the main window.
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
  std::string askText(const std::string& prompt, const std::string& title,
                      int defaultAnswer) override;
  std::string askWithHints(const HintedInputBox& box) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace pump::qt
