// The text of the context-menu entry (MenuText.h): the description in double quotes,
// cut to the width setting.
#include "MenuText.h"

#include <cstring>

void BuildMenuText(const char* description, unsigned width, char* text) {
    if (width > kLargestMenuWidth) width = kLargestMenuWidth;
    const std::size_t length = std::strlen(description);
    const std::size_t kept = length < width ? length : width;
    text[0] = '"';
    std::memcpy(text + 1, description, kept);
    if (length > width && kept > 3) std::memcpy(text + 1 + kept - 3, "...", 3);
    text[1 + kept] = '"';
    text[2 + kept] = '\0';
}
