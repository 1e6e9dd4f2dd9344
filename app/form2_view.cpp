#include "app/form2_view.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

#include "app/button_fit.h"
#include "console/form1_design.h"

namespace pump::app {
namespace {

// Design geometry is in twips; the main window's design table converts it.
QRect FromTwips(int left, int top, int width, int height) {
  const console::design::PixelRect px = console::design::ToPixels({left, top, width, height});
  return {px.x, px.y, px.width, px.height};
}

}  // namespace

Form2View::Form2View(Files& files, Dialogs& dialogs, std::string recordPath)
    : model_(files, dialogs, form1_, *this, std::move(recordPath)),
      command1_(new QPushButton(QStringLiteral("退出"), this)),
      command2_(new QPushButton(QStringLiteral("Command2"), this)),
      text1_(new QLineEdit(this)) {
  setWindowTitle(QString::fromUtf8(records::Form2::kCaption));
  setWindowIcon(QApplication::windowIcon());
  resize(578, 338);
  // Closing the main window ends the program even while the viewer exists.
  setAttribute(Qt::WA_QuitOnClose, false);

  command1_->setObjectName(QStringLiteral("Command1"));
  command1_->setGeometry(FromTwips(7560, 4560, 735, 375));
  command2_->setObjectName(QStringLiteral("Command2"));
  command2_->setGeometry(FromTwips(6120, 4560, 855, 375));
  // The design's 57-pixel button was sized for a small dialog font; in the
  // desktop's larger one "Command2" would run into the frame. Its font is
  // narrowed to fit, with the frame and some face showing at each end.
  QFont smallFont = command2_->font();
  smallFont.setPointSizeF(7.5);
  command2_->setFont(FitCaptionFont(smallFont, command2_->text(), command2_->width(), 5));
  text1_->setObjectName(QStringLiteral("Text1"));
  text1_->setGeometry(FromTwips(1080, 960, 5895, 2055));
  text1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  setTabOrder(command1_, command2_);
  setTabOrder(command2_, text1_);
  command1_->setFocus();

  connect(command1_, &QPushButton::clicked, this, [this] { model_.Command1_Click(); });
  connect(command2_, &QPushButton::clicked, this, [this] { model_.Command2_Click(); });
  connect(text1_, &QLineEdit::textEdited, this,
          [this](const QString& text) { model_.Text1.editedTo(text.toStdString()); });
  model_.Text1.setObserver([this] { showText1(); });
  showText1();
}

void Form2View::show() {
  QWidget::show();
  raise();
  activateWindow();
}

void Form2View::hide() { QWidget::hide(); }

// A line longer than the box is shown from its beginning.
void Form2View::showText1() {
  text1_->setText(QString::fromStdString(model_.Text1.text()));
  text1_->setCursorPosition(0);
}

}  // namespace pump::app
