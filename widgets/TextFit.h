// The forms were laid out for the classic Windows fonts, and their labels
// sized themselves to their text. Where a stand-in font is wider, a label
// grows to its text instead of clipping it.
#pragma once

class QLabel;
class RaisedLabel;

// Widens the label, never narrows it: a centred label keeps its centre, any
// other keeps its left edge. Height is left as designed.
void fitLabelToText(QLabel& label);
void fitLabelToText(RaisedLabel& label);

// Where a label cannot grow (a control follows it on the same line), its
// letters are narrowed instead, keeping their height, until the text ends a
// few pixels before limit (an x in the parent's coordinates). The label keeps
// its left edge and ends at that gap.
void narrowLabelToEndBefore(QLabel& label, int limit);

// A label of fixed size whose text comes at run time: the font is taken down
// from designPixelSize until every line fits the label's box, so that no line
// loses its ends.
void shrinkFontToFitBox(QLabel& label, int designPixelSize);
