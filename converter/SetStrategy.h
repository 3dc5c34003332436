#pragma once
// The Set command's dialog: the cut strategy over the document's rows.
#include <windows.h>

#include "plt_writer.h"

// Runs the cut strategy dialog (dialog 131) over order. As in the station's dialog, the
// mode, the sort method, row moves and in-cell presets stand whichever button ends it; the
// rows' check boxes are taken over by OK only. The dialog's result.
INT_PTR RunCutStrategy(CutOrder& order);
