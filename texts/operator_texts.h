// Every caption, prompt, title and message the console can show, kept in
// this folder, a header per area, so that a translation has one place to
// look at. The texts are the operator's, byte for byte: spacing and
// punctuation included.
#pragma once

#include "texts/board_texts.h"
#include "texts/group_texts.h"
#include "texts/line_texts.h"
#include "texts/program_texts.h"
#include "texts/record_texts.h"
#include "texts/report_texts.h"
#include "texts/window_texts.h"
