// The record viewer's design table: the window and each control with its
// design name, caption, place in twips and the member it is bound to.
#pragma once

#include <array>
#include <string_view>

#include "platform/twips.h"
#include "records/record_viewer.h"
#include "texts/operator_texts.h"

namespace pump::records::design {

struct ViewerWindowDesign {
  std::string_view title;
  int clientWidth, clientHeight;  // twips
};

struct ButtonDesign {
  std::string_view name;
  std::string_view caption;
  TwipsRect rect;
  void (RecordViewer::*press)();
};

struct TextBoxDesign {
  std::string_view name;
  TwipsRect rect;
  TextBox RecordViewer::*box;
};

inline constexpr ViewerWindowDesign kViewerWindow{texts::kRecordViewerTitle, 8670, 5070};

// In focus order.
inline constexpr std::array kViewerButtons{
    ButtonDesign{
        "Command1", texts::kBackButton, {7560, 4560, 735, 375}, &RecordViewer::backToMainWindow},
    ButtonDesign{
        "Command2", texts::kLoadButton, {6120, 4560, 855, 375}, &RecordViewer::loadLastLine},
};

inline constexpr TextBoxDesign kViewerTextBox{
    "Text1", {1080, 960, 5895, 2055}, &RecordViewer::recordLine};

}  // namespace pump::records::design
