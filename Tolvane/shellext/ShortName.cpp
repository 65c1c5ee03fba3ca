// Whether a file's short (8.3) name differs from its long one (ShortName.h), for the
// second field of the edit dialog and the page.
#include "ShortName.h"

bool SameFileName(const PathParts& first, const PathParts& second) {
    return EqualNoCase(first.name, second.name) && EqualNoCase(first.extension, second.extension);
}

bool SameFileName(const WidePathParts& first, const WidePathParts& second) {
    return EqualNoCase(first.name, second.name) && EqualNoCase(first.extension, second.extension);
}
