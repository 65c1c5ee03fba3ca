// Writing the lines of a description file (DescriptionWriter.h).
#include "DescriptionWriter.h"

#include "DescriptionLine.h"

namespace {

bool Holds(std::string_view text, char c) { return text.find(c) != std::string_view::npos; }

// The name behind its first byte (never substr: nothing here may throw).
std::string_view Rest(std::string_view name) {
    name.remove_prefix(1);
    return name;
}

// A bare name is read up to the first blank behind its first byte and must not
// begin with a quote; a quoted name is read up to the first quote behind its
// first byte. The first byte is always part of the name.
bool CanBeBare(std::string_view name) { return name[0] != '"' && !Holds(Rest(name), ' '); }
bool CanBeQuoted(std::string_view name) { return !Holds(Rest(name), '"'); }

bool WantsQuotes(std::string_view name) { return Holds(name, ' ') || name[0] == '"'; }

}  // namespace

bool CanWriteName(std::string_view name) {
    if (name.empty() || Holds(name, '\n') || Holds(name, kCtrlZ)) return false;
    return CanBeBare(name) || CanBeQuoted(name);
}

DescriptionLinePieces WrittenLine(std::string_view name, std::string_view description,
                                  std::string_view tail) {
    DescriptionLinePieces line = {};
    // A name with a blank goes between quotes, unless it also holds a quote that
    // would end it early; such a name has its only blank up front and reads back bare.
    const bool quoted = WantsQuotes(name) && CanBeQuoted(name);
    if (quoted) line.pieces[line.count++] = "\"";
    line.pieces[line.count++] = name;
    line.pieces[line.count++] = quoted ? "\" " : " ";
    line.pieces[line.count++] = description;
    line.pieces[line.count++] = tail;
    line.pieces[line.count++] = "\r\n";
    return line;
}

namespace {

template <class Char>
void Clean(Char* text, size_t length) {
    for (size_t i = 0; i < length; ++i)
        if (text[i] == '\r' || text[i] == '\n' || text[i] == kCtrlZ) text[i] = ' ';
}

}  // namespace

void CleanDescription(char* text, size_t length) { Clean(text, length); }
void CleanDescription(wchar_t* text, size_t length) { Clean(text, length); }
