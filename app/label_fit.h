// Where a label's caption sits so that its glyphs show whole.
#pragma once

#include <Qt>

class QFont;
class QLabel;
class QSize;
class QString;

namespace pump::app {

struct CaptionPlacement {
  Qt::Alignment vertical = Qt::AlignTop;
  int bottomMargin = 0;  // pixels kept free below the text
};

// Where a caption in `font` sits in a label of `size`. From the top where
// its glyphs show whole there; where the font's line is taller than the label
// (a large CJK face carries room above its glyphs and below its baseline),
// the placement that shows the whole glyph with a pixel of ground round it,
// found by drawing the caption as the label does and measuring its ink.
CaptionPlacement PlaceCaption(const QFont& font, const QString& caption, QSize size);

// Places the label's caption by the one it shows now (its first).
void PlaceStartCaption(QLabel& label);

}  // namespace pump::app
