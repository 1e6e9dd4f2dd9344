// A button caption's font chosen so the caption fits the button's face.
#pragma once

class QFont;
class QString;

namespace pump::app {

// `font`, narrowed (a condensed face where one is installed) and then made
// smaller in quarter points until `caption` fits `width` pixels less
// `sideRoom` at each end; never larger than `font` was. The smallest size
// tried is 5 points.
QFont FitCaptionFont(QFont font, const QString& caption, int width, int sideRoom);

}  // namespace pump::app
