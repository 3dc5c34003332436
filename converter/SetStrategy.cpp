#include "SetStrategy.h"

// The cut strategy dialog joins here; until then Set leaves the strategy as it is.
void RunCutStrategy(CutOrder& order, CWnd* parent) {
    (void)order;
    (void)parent;
}
