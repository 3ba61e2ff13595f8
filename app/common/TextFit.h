// The forms were laid out for the classic Windows fonts, and their labels
// sized themselves to their text. Where a stand-in font is wider, a label
// grows to its text instead of clipping it.
#pragma once

class QLabel;
class TVrLabel;

// Widens the label, never narrows it: a centred label keeps its centre, any
// other keeps its left edge. Height is left as designed.
void FitLabelToText(QLabel& label);
void FitLabelToText(TVrLabel& label);
