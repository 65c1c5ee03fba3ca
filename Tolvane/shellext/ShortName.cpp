#include "ShortName.h"

bool SameFileName(const PathParts& first, const PathParts& second) {
    return EqualNoCase(first.name, second.name) && EqualNoCase(first.extension, second.extension);
}

bool SameFileName(const WidePathParts& first, const WidePathParts& second) {
    return EqualNoCase(first.name, second.name) && EqualNoCase(first.extension, second.extension);
}
