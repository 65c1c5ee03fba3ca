#include "ShortName.h"

bool SameFileName(const PathParts& first, const PathParts& second) {
    return EqualNoCase(first.name, second.name) && EqualNoCase(first.extension, second.extension);
}
