// A label that keeps the pictures of its captions shows the same pixels as a
// plain label drawing each caption afresh, and draws a caption only once per
// colour.
#include "platform/qt/caption_label.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QImage>
#include <QLabel>
#include <QPalette>

namespace pump {
namespace {

// Both labels set up alike: a solid background, a caption font, plain text.
void Prepare(QLabel& label, QColor ink) {
  label.setGeometry(0, 0, 120, 30);
  label.setTextFormat(Qt::PlainText);
  label.setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  label.setIndent(4);
  QFont font = label.font();
  font.setPointSizeF(15);
  font.setBold(true);
  label.setFont(font);
  label.setAutoFillBackground(true);
  QPalette colours = label.palette();
  colours.setColor(QPalette::Window, QColor(0, 0, 0x80));
  colours.setColor(QPalette::WindowText, ink);
  label.setPalette(colours);
}

// The kept label paints its own background: Qt fills nothing under it.
void Prepare(qt::CaptionLabel& label, QColor ink) {
  Prepare(static_cast<QLabel&>(label), ink);
  label.setSolidBackground(QColor(0, 0, 0x80));
}

void SetInk(QLabel& label, QColor ink) {
  QPalette colours = label.palette();
  colours.setColor(QPalette::WindowText, ink);
  label.setPalette(colours);
}

TEST(CaptionLabel, CaptionsShownAgainLookAsAPlainLabelDrawsThemAndAreDrawnOncePerColour) {
  qt::CaptionLabel kept;
  QLabel plain;
  Prepare(kept, Qt::yellow);
  Prepare(plain, Qt::yellow);
  const char* captions[] = {"04.5", "04.6", "", "04.5", "12.9", "04.6", "04.5"};
  for (const char* caption : captions) {
    kept.setText(QString::fromUtf8(caption));
    plain.setText(QString::fromUtf8(caption));
    ASSERT_EQ(kept.grab().toImage(), plain.grab().toImage()) << "\"" << caption << "\"";
  }
  EXPECT_EQ(kept.captionsDrawn(), 4);

  // Red and back again: each colour keeps its own pictures.
  SetInk(kept, Qt::red);
  SetInk(plain, Qt::red);
  EXPECT_EQ(kept.grab().toImage(), plain.grab().toImage());
  SetInk(kept, Qt::yellow);
  SetInk(plain, Qt::yellow);
  EXPECT_EQ(kept.grab().toImage(), plain.grab().toImage());
  EXPECT_EQ(kept.captionsDrawn(), 5);
}

TEST(CaptionLabel, ANewFontOrSizeDrawsTheCaptionAgain) {
  qt::CaptionLabel kept;
  QLabel plain;
  Prepare(kept, Qt::yellow);
  Prepare(plain, Qt::yellow);
  kept.setText(QStringLiteral("● 压力超限 5.1 MPa ≥ 2.0 MPa"));
  plain.setText(kept.text());
  ASSERT_EQ(kept.grab().toImage(), plain.grab().toImage());

  QFont smaller = kept.font();
  smaller.setPointSizeF(9);
  kept.setFont(smaller);
  plain.setFont(smaller);
  EXPECT_EQ(kept.grab().toImage(), plain.grab().toImage());
  kept.resize(300, 30);
  plain.resize(300, 30);
  EXPECT_EQ(kept.grab().toImage(), plain.grab().toImage());
  EXPECT_EQ(kept.captionsDrawn(), 3);
}

TEST(CaptionLabel, ADisabledLabelDrawsAsAPlainOneOnItsOwnBackground) {
  qt::CaptionLabel kept;
  QLabel plain;
  Prepare(kept, Qt::yellow);
  Prepare(plain, Qt::yellow);
  kept.setEnabled(false);
  plain.setEnabled(false);
  kept.setText(QStringLiteral("04.5"));
  plain.setText(kept.text());
  EXPECT_EQ(kept.grab().toImage(), plain.grab().toImage());
  EXPECT_EQ(kept.captionsDrawn(), 0);
}

TEST(CaptionLabel, ALabelWithoutItsOwnBackgroundDrawsEveryTime) {
  qt::CaptionLabel seeThrough;
  seeThrough.resize(80, 20);
  seeThrough.setText(QStringLiteral("MQTT"));
  static_cast<void>(seeThrough.grab());
  static_cast<void>(seeThrough.grab());
  EXPECT_EQ(seeThrough.captionsDrawn(), 0);
}

}  // namespace
}  // namespace pump
