#pragma once

namespace krvo {

// The table's texts ask for the Windows font names "宋体" and "黑体"; map them
// (and their Latin names) to the free CJK fonts installed with the program so
// Chinese text never shows as boxes.
void InstallFontSubstitutions();

}  // namespace krvo
