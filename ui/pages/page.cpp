// The page's operations are all inline; this unit gives the class its meta-object.
#include "ui/pages/page.h"
