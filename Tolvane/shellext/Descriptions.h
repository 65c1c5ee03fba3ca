// The description functions of the store, as the shell extension calls them.
#pragma once

#include "store/DescriptionApi.h"

// GetDescription delivers up to 1023 characters: every caller here passes
// this many bytes.
constexpr int kDescriptionSize = 2048;
