// Built only by the layers test: a header of a folder that the probe does not link, as a lower layer reading a
// higher one's would.
#include "start/programstart.h"
