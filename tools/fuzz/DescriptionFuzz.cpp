// libFuzzer target of the line grammar, built natively by scripts/fuzz.
// Property: whatever bytes are read, every name can be written, and what is
// written reads back to the same entries. The path splitting runs on the same
// bytes: it must agree with itself and never overrun. The index over the names,
// and the one-entry lookup, must find what a scan of the lines finds, and the
// index mended for the bytes with a piece cut out or put in twice must answer
// as one built over them. A file is told UTF-8 exactly when its bytes (before a
// Ctrl-Z) decode and encode back to themselves and hold one beyond ASCII, or
// begin with the mark, and told so too when its lines are tested piece by
// piece; UTF-16 text that has a UTF-8 form comes back from it unit for unit.
#include "store/DescriptionIndex.h"
#include "store/DescriptionReader.h"
#include "store/DescriptionWriter.h"
#include "store/PathParts.h"
#include "store/TextEncoding.h"

#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Entry {
    std::string name, description, tail;
    bool operator!=(const Entry& o) const {
        return name != o.name || description != o.description || tail != o.tail;
    }
};

std::vector<Entry> Read(const char* bytes, size_t size) {
    std::vector<Entry> entries;
    CDescriptionReader reader(bytes, size);
    DescriptionLine line;
    while (reader.ReadEntry(&line)) {
        if (line.name.empty()) abort();
        entries.push_back({std::string(line.name), std::string(line.description), std::string(line.tail)});
    }
    return entries;
}

bool LeadByte(unsigned char c) { return c >= 0x81 && c <= 0x9f; }

void Append(std::string* image, std::string_view name, std::string_view description, std::string_view tail) {
    DescriptionLinePieces line = WrittenLine(name, description, tail);
    for (int i = 0; i < line.count; ++i) image->append(line.pieces[i]);
}

// The encoding told of the bytes, checked against a decode and encode.
void CheckEncoding(const char* bytes, size_t size) {
    FileEncoding found = DetectEncoding(bytes, size);
    std::string data(bytes, size);
    data = data.substr(0, data.find('\x1a'));
    if (data.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        if (found.encoding != TextEncoding::Utf8 || !found.mark || found.dataStart != 3) abort();
        return;
    }
    if (found.mark || found.dataStart != 0) abort();

    // Tested in pieces cut behind a line feed, as a reader piece by piece does.
    if (!data.empty()) {
        size_t feed = data.find('\n', static_cast<unsigned char>(data[0]) % data.size());
        size_t cut = feed == std::string::npos ? data.size() : feed + 1;
        bool multiByte = false;
        bool valid = CheckUtf8(data.data(), cut, &multiByte) && CheckUtf8(data.data() + cut, data.size() - cut, &multiByte);
        if ((valid && multiByte) != (found.encoding == TextEncoding::Utf8)) abort();
    }
    std::vector<wchar_t> wide(data.size() + 1);
    size_t units = Utf8ToUtf16(data, wide.data());
    std::vector<char> back(3 * units + 1);
    size_t written = 0;
    if (!Utf16ToUtf8(std::wstring_view(wide.data(), units), back.data(), &written)) abort();
    bool same = std::string(back.data(), written) == data;
    bool beyondAscii = false;
    for (char c : data) beyondAscii |= static_cast<unsigned char>(c) >= 0x80;
    if ((found.encoding == TextEncoding::Utf8) != (same && beyondAscii)) abort();

    // Decoding within a room gives a prefix of the whole, never half a pair.
    for (size_t room : {size_t(0), size_t(1), size_t(5), units / 2 + 1}) {
        std::vector<wchar_t> part(room + 1);
        size_t used = 0;
        size_t got = Utf8ToUtf16Within(data, part.data(), room, &used);
        if (got > room || used > data.size()) abort();
        if (!std::equal(part.begin(), part.begin() + got, wide.begin())) abort();
        if (got > 0 && part[got - 1] >= 0xD800 && part[got - 1] <= 0xDBFF) abort();
    }
}

// The bytes as UTF-16 units: a text with a UTF-8 form comes back whole; one
// without holds a lone surrogate.
void CheckUtf16(const uint8_t* data, size_t size) {
    std::vector<wchar_t> units;
    for (size_t i = 0; i + 1 < size; i += 2) units.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
    std::vector<char> utf8(3 * units.size() + 1);
    size_t written = 0;
    bool lone = false;
    for (size_t i = 0; i < units.size(); ++i) {
        bool high = units[i] >= 0xD800 && units[i] <= 0xDBFF, low = units[i] >= 0xDC00 && units[i] <= 0xDFFF;
        if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF)
            ++i;
        else if (high || low)
            lone = true;
    }
    bool encoded = Utf16ToUtf8(std::wstring_view(units.data(), units.size()), utf8.data(), &written);
    if (encoded == lone) abort();
    if (!encoded) return;
    std::string text(utf8.data(), written);
    if (Utf8SequenceLength(text) == 0 && !text.empty()) abort();
    std::vector<wchar_t> back(written + 1);
    size_t count = Utf8ToUtf16(text, back.data());
    if (count != units.size() || !std::equal(units.begin(), units.end(), back.begin())) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    std::vector<Entry> first = Read(bytes, size);
    std::string image;
    for (const Entry& e : first) {
        if (!CanWriteName(e.name)) abort();
        Append(&image, e.name, e.description, e.tail);
    }
    std::vector<Entry> second = Read(image.data(), image.size());
    if (second.size() != first.size()) abort();
    for (size_t i = 0; i < first.size(); ++i)
        if (first[i] != second[i]) abort();

    // A cleaned description of a written name stays one entry of its own.
    if (!first.empty()) {
        std::string clean(bytes, size);
        CleanDescription(&clean[0], clean.size());
        std::string line;
        Append(&line, first[0].name, clean, "");
        if (Read(line.data(), line.size()).size() != 1) abort();
    }

    // The index over the names finds for each name the line that a scan finds
    // first, folding only A to Z.
    CDescriptionIndex index;
    if (!index.Build(bytes, size)) abort();
    {
        CDescriptionReader reader(bytes, size);
        DescriptionLine line, found;
        std::vector<std::string_view> seen;
        while (reader.ReadEntry(&line)) {
            if (!index.Find(line.name, &found)) abort();
            const char* first = line.name.data();
            for (std::string_view earlier : seen)
                if (EqualNoCase(earlier, line.name)) {
                    first = earlier.data();
                    break;
                }
            if (found.name.data() != first) abort();
            seen.push_back(line.name);
        }
    }

    // The one-entry lookup finds the same first line for every name.
    {
        CDescriptionReader reader(bytes, size);
        DescriptionLine line, found;
        while (reader.ReadEntry(&line)) {
            DescriptionLine indexed;
            if (!index.Find(line.name, &indexed) || !FindEntry(bytes, size, line.name, &found)) abort();
            if (found.name.data() != indexed.name.data() || found.description != indexed.description ||
                found.tail != indexed.tail)
                abort();
        }
    }

    // The index mended for changed bytes answers as one built over them.
    if (size >= 2) {
        size_t from = data[0] % size, to = from + data[1] % 64;
        if (to > size) to = size;
        std::string whole(bytes, size);
        for (const std::string& changed : {whole.substr(0, from) + whole.substr(to),
                                           whole.substr(0, to) + whole.substr(from)}) {
            CDescriptionIndex mended, built;
            if (!mended.Build(bytes, size) || !mended.Update(changed.data(), changed.size()) ||
                !built.Build(changed.data(), changed.size()))
                abort();
            for (const std::string* names : {static_cast<const std::string*>(&whole), &changed}) {
                CDescriptionReader reader(names->data(), names->size());
                DescriptionLine line, a, b;
                while (reader.ReadEntry(&line)) {
                    bool inMended = mended.Find(line.name, &a), inBuilt = built.Find(line.name, &b);
                    if (inMended != inBuilt || (inMended && a.name.data() != b.name.data())) abort();
                }
            }
        }
    }

    CheckEncoding(bytes, size);
    CheckUtf16(data, size);

    std::string path(bytes, size);
    path = path.substr(0, path.find('\0'));
    PathParts parts;
    for (LeadByteTest lead : {static_cast<LeadByteTest>(nullptr), &LeadByte}) {
        if (SplitPath(path.c_str(), &parts, lead)) {
            if (std::string(parts.FolderPath()) + std::string(parts.FileName()) != path) abort();
            if (PathKey(path, lead) != parts.FileName()) abort();
        } else if (path.size() <= kMaxPathLength) {
            abort();
        }
    }
    return 0;
}
