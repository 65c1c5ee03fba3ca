#include "DescriptionWriter.h"

#include "DescriptionLine.h"

namespace {

bool Holds(std::string_view text, char c) { return text.find(c) != std::string_view::npos; }

// A bare name is read up to the first blank behind its first byte and must not
// begin with a quote; a quoted name is read up to the first quote behind its
// first byte. The first byte is always part of the name.
bool CanBeBare(std::string_view name) { return name[0] != '"' && !Holds(name.substr(1), ' '); }
bool CanBeQuoted(std::string_view name) { return !Holds(name.substr(1), '"'); }

bool WantsQuotes(std::string_view name) { return Holds(name, ' ') || name[0] == '"'; }

}  // namespace

bool CanWriteName(std::string_view name) {
    if (name.empty() || Holds(name, '\n') || Holds(name, kCtrlZ)) return false;
    return CanBeBare(name) || CanBeQuoted(name);
}

void AppendDescriptionLine(std::string* image, std::string_view name,
                           std::string_view description, std::string_view tail) {
    // A name with a blank goes between quotes, unless it also holds a quote that
    // would end it early; such a name has its only blank up front and reads back bare.
    if (WantsQuotes(name) && CanBeQuoted(name)) {
        image->push_back('"');
        image->append(name);
        image->push_back('"');
    } else {
        image->append(name);
    }
    image->push_back(' ');
    image->append(description);
    image->append(tail);
    image->append("\r\n");
}

std::string CleanDescription(std::string_view text) {
    std::string clean(text);
    for (char& c : clean)
        if (c == '\r' || c == '\n' || c == kCtrlZ) c = ' ';
    return clean;
}
