#pragma once

#include <QStringList>

namespace krvo {

// The faces that stand in for the Windows fonts "宋体" and "黑体", the first
// installed one winning: a CJK face made for screens first, then the free
// faces the program used before.
QStringList SongTiSubstitutes();
QStringList HeiTiSubstitutes();

// The faces the table surface draws "宋体" (heiTi false) and "黑体" in. Its
// texts stand at fixed pixels laid out for faces about one em high, so it
// takes a screen face of those proportions first; Noto Sans CJK, a fifth
// taller, would push every caption down out of its button.
QStringList TableFaces(bool heiTi);

// The faces for "宋体" text set at fixed pixels and drawn without smoothing
// (the message boxes, the props market): the Ming face with bitmaps at 12
// pixels that those places were laid out with. The screen face, taller and
// made to be smoothed, would run lines into one another there.
QStringList PixelLayoutFaces();

// The table's texts and the chat ask for the Windows font names "宋体" and
// "黑体"; map them (and their Latin names) to the free CJK fonts installed
// with the program so Chinese text never shows as boxes and stays legible.
void InstallFontSubstitutions();

}  // namespace krvo
