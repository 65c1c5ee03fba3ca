// Comparing a file's long name with its short (8.3) name.
#pragma once

#include "store/PathParts.h"

// Equal when the name parts and the extension parts are equal each on its own,
// the letters A to Z compared without regard to case and every other byte
// exactly.
bool SameFileName(const PathParts& first, const PathParts& second);
bool SameFileName(const WidePathParts& first, const WidePathParts& second);
