// libFuzzer target of the line grammar, built natively by scripts/fuzz.
// Property: whatever bytes are read, every name can be written, and what is
// written reads back to the same entries. The path splitting runs on the same
// bytes: it must agree with itself and never overrun. The index over the names,
// and the one-entry lookup, must find what a scan of the lines finds, and the
// index mended for the bytes with a piece cut out or put in twice must answer
// as one built over them.
#include "store/DescriptionIndex.h"
#include "store/DescriptionReader.h"
#include "store/DescriptionWriter.h"
#include "store/PathParts.h"

#include <cstdint>
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
