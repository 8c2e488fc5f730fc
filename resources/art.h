// Every picture of the program, drawn by code: the display's background, its mute patch and
// level bars, and the setup dialog's background. All are grey.
#pragma once

#include "resources/image.h"
#include "resources/layout.h"

namespace brisel::art {

inline constexpr int kSpeakerBody = 1;  // the loudspeaker's box and cone, with their shadow
inline constexpr int kSpeakerWaves = 2; // the three sound-wave arcs, with their shadows

// Each is drawn at a scale (1 when none is given): the sizes below are at 1, and grow with it,
// each drawn anew at that size.

// The display's background, 211 x 206; `parts` chooses what of the loudspeaker is drawn.
GreyImage SplashBackground(int parts = kSpeakerBody | kSpeakerWaves, Scale scale = {});
// The patch that, placed at the Mute control, hides the waves: 72 x 113.
GreyImage MutePatch(Scale scale = {});
// A level bar, 171 x 20, with the leftmost `lit` of its 16 squares lit.
GreyImage LevelBar(int lit, Scale scale = {});
// The setup dialog's background, 300 x 300.
GreyImage ConfigBackground(Scale scale = {});

// What the display shows: its client area, 209 x 207, with Image2 showing the stored picture
// with `lit` squares, the mute patch when shown, and black outside the rounded outline.
GreyImage ComposeSplash(int lit, bool mute, Scale scale = {});

// What a window of this layout shows behind its controls: the dialog's background, or the
// display with its level picture and mute patch.
GreyImage WindowPicture(const WindowLayout& layout, int lit, bool mute, Scale scale = {});

}  // namespace brisel::art
