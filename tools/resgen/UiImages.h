#pragma once
// The UI image sets: every set holds the common controls at the cells of gui/UiAtlas.h, drawn so a
// person recognises each one (bevelled buttons, a close cross, radio dots, arrows, thumbs and
// grooves, edit fields, digits, a title band and panels). Only the panels' tint differs per set;
// the cue school's set (atlas::school::kSet) is twice as tall and adds its own pictures.

#include "tools/resgen/Images.h"

Image BuildUiImageSet(int set);
