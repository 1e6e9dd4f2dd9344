#include "app/record_viewer_view.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

#include "app/button_fit.h"
#include "app/design_to_qt.h"
#include "records/record_viewer_design.h"

namespace pump::app {
namespace {

namespace design = records::design;

}  // namespace

RecordViewerView::RecordViewerView(Files& files, Dialogs& dialogs, std::string recordPath)
    : viewer_(files, dialogs, mainWindow_, *this, std::move(recordPath)),
      recordBox_(new QLineEdit(this)) {
  setWindowTitle(Text(design::kViewerWindow.title));
  setWindowIcon(QApplication::windowIcon());
  resize(ToPixels(design::kViewerWindow.clientWidth), ToPixels(design::kViewerWindow.clientHeight));
  // Closing the main window ends the program even while the viewer exists.
  setAttribute(Qt::WA_QuitOnClose, false);

  buildButtons();
  const design::TextBoxDesign& box = design::kViewerTextBox;
  recordBox_->setObjectName(Text(box.name));
  recordBox_->setGeometry(ToQRect(box.rect));
  recordBox_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  setTabOrder(findChild<QPushButton*>(Text(design::kViewerButtons.back().name)), recordBox_);

  TextBox& model = viewer_.*box.box;
  connect(recordBox_, &QLineEdit::textEdited, this,
          [&model](const QString& text) { model.editedTo(text.toStdString()); });
  model.setObserver([this] { showRecordLine(); });
  showRecordLine();
}

void RecordViewerView::buildButtons() {
  QPushButton* previous = nullptr;
  for (const design::ButtonDesign& d : design::kViewerButtons) {
    auto* button = new QPushButton(Text(d.caption), this);
    button->setObjectName(Text(d.name));
    button->setGeometry(ToQRect(d.rect));
    const auto press = d.press;
    connect(button, &QPushButton::clicked, this, [this, press] { (viewer_.*press)(); });
    if (previous) {
      setTabOrder(previous, button);
    } else {
      button->setFocus();
    }
    previous = button;
  }
  // The design's 57-pixel load button was sized for a small dialog font; in
  // the desktop's larger one its caption would run into the frame. Its font
  // is narrowed to fit, with the frame and some face showing at each end.
  QFont smallFont = previous->font();
  smallFont.setPointSizeF(7.5);
  previous->setFont(FitCaptionFont(smallFont, previous->text(), previous->width(), 5));
}

void RecordViewerView::show() {
  QWidget::show();
  raise();
  activateWindow();
}

void RecordViewerView::hide() { QWidget::hide(); }

// A line longer than the box is shown from its beginning.
void RecordViewerView::showRecordLine() {
  recordBox_->setText(QString::fromStdString((viewer_.*design::kViewerTextBox.box).text()));
  recordBox_->setCursorPosition(0);
}

}  // namespace pump::app
