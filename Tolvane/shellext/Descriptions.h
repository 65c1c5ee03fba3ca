// The description functions of the store, as the shell extension calls them.
#pragma once

#include "store/DescriptionApi.h"

// The menu's buffer for ReadDescription, which delivers at most 1023 characters:
// 2048 bytes leave room to spare. The dialogs read the store itself, whole.
constexpr int kDescriptionSize = 2048;
