// Reading and writing a description file as one image. A writer holds the file
// alone (share mode 0) and a reader lets only other readers in
// (FILE_SHARE_READ), so no reader ever sees a file that is emptied or half
// written. Both wait briefly while another process holds the file.
#pragma once

#include <string>

enum FileReadResult {
    kFileRead,     // bytes holds the whole file
    kFileMissing,  // there is no such file (or folder): an empty list
    kFileFailed    // it exists but could not be read: it must not be rewritten
};

// Reads the whole file into bytes.
FileReadResult ReadFileImage(const char* path, std::string* bytes);

// Creates or opens the file, writes image in one piece and cuts the file
// behind it. False when the file could not be opened or written.
bool WriteFileImage(const char* path, const std::string& image);
