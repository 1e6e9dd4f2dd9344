// The input box with hints on Qt: the prompt on its own line, the hints one
// per line under it, and an edit field whose completions drop down as the
// operator types or presses the down arrow.
#pragma once

#include <QDialog>
#include <QString>
#include <string>

#include "platform/ui.h"

class QCompleter;
class QLineEdit;

namespace pump::qt {

// The callers break a prompt into lines with CR LF; Qt breaks at LF alone.
QString PromptText(const std::string& prompt);

class HintedInputDialog : public QDialog {
  Q_OBJECT

 public:
  HintedInputDialog(const HintedInputBox& box, QWidget* parent);
  QString answer() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool handleEditKey(int key);
  bool handlePopupKey(int key);

  QLineEdit* edit_ = nullptr;
  QCompleter* completer_ = nullptr;
};

}  // namespace pump::qt
