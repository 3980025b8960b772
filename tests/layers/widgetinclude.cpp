// Compiled against the checklist document's libraries, this must fail: they link Qt Core only, so
// no widget header is within their reach.
#include "checklist/checklistdocument.h"

#include <QWidget>
