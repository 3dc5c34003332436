#pragma once
// The Set command's dialog: the cut strategy over the document's rows.
#include "plt_writer.h"

class CWnd;

// Runs the cut strategy dialog over order; the rows, mode and sort method change only
// when the user ends it with OK.
void RunCutStrategy(CutOrder& order, CWnd* parent);
