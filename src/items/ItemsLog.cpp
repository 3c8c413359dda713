#include "items/ItemsLog.h"

Q_LOGGING_CATEGORY(lcItems, "brimble.items")
