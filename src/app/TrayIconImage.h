#pragma once

#include <QIcon>

// Brimble's tray and window icon: a bookmark ribbon, drawn at every size the
// panel asks for so that it stays sharp.
QIcon brimbleIcon();
