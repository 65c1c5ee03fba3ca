// The description functions of the store, exported by Tolvane.dll.
#pragma once

extern "C" {
int __cdecl GetDescription(char* description, const char* path);
int __cdecl SetDescription(const char* description, const char* path);
int __cdecl DelDescription(const char* path);
}

// GetDescription uses its buffer as scratch for the path and delivers up to
// 1023 characters: every caller here passes this many bytes.
constexpr int kDescriptionSize = 2048;
