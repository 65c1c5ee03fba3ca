// Telling a description file's encoding from its bytes, and UTF-8 to and from
// UTF-16 (TextEncoding.h says the rule): pure code, fuzzed with the grammar.
#include "TextEncoding.h"

#include "DescriptionLine.h"
#include "DescriptionReader.h"

#include <cstdint>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

const wchar_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// text behind its first count bytes (never substr: nothing here may throw).
std::string_view After(std::string_view text, size_t count) {
    text.remove_prefix(count);
    return text;
}

// Where the ASCII run from the start of bytes ends: eight bytes at a time, since
// most of a description file is ASCII and the whole file is looked at.
size_t AsciiRun(const unsigned char* bytes, size_t size) {
    size_t at = 0;
#ifdef __SSE2__
    // Sixteen bytes at a time where the processor has SSE2 (every x64 one).
    while (size - at >= 16) {
        __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at));
        if (_mm_movemask_epi8(block)) break;
        at += 16;
    }
#endif
    while (size - at >= 8) {
        uint64_t word;
        std::memcpy(&word, bytes + at, 8);
        if (word & 0x8080808080808080ull) break;
        at += 8;
    }
    while (at < size && bytes[at] < 0x80) ++at;
    return at;
}

// The code point of a valid sequence of the given length.
uint32_t CodePoint(const unsigned char* s, size_t length) {
    switch (length) {
    case 1: return s[0];
    case 2: return (uint32_t(s[0] & 0x1F) << 6) | (s[1] & 0x3F);
    case 3: return (uint32_t(s[0] & 0x0F) << 12) | (uint32_t(s[1] & 0x3F) << 6) | (s[2] & 0x3F);
    default:
        return (uint32_t(s[0] & 0x07) << 18) | (uint32_t(s[1] & 0x3F) << 12) | (uint32_t(s[2] & 0x3F) << 6) |
               (s[3] & 0x3F);
    }
}

}  // namespace

size_t Utf8SequenceLength(std::string_view bytes) {
    if (bytes.empty()) return 0;
    const unsigned char* s = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t size = bytes.size();
    const unsigned char lead = s[0];
    if (lead < 0x80) return 1;
    // The second byte's range excludes overlong forms, surrogates and code
    // points above U+10FFFF.
    unsigned char low = 0x80, high = 0xBF;
    size_t length;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (size < length || s[1] < low || s[1] > high) return 0;
    for (size_t i = 2; i < length; ++i)
        if (!IsContinuation(s[i])) return 0;
    return length;
}

FileEncoding DetectEncoding(const char* bytes, size_t size) {
    FileEncoding found = {TextEncoding::CodePage, false, 0};
    if (!bytes) return found;
    size = static_cast<size_t>(FindCtrlZ(bytes, bytes + size) - bytes);
    std::string_view data(bytes, size);
    if (data.size() >= kUtf8Mark.size() && std::memcmp(bytes, kUtf8Mark.data(), kUtf8Mark.size()) == 0) return FileEncoding{TextEncoding::Utf8, true, kUtf8Mark.size()};

    bool multiByte = false;
    // A byte that is not UTF-8: the code pages.
    if (CheckUtf8(bytes, size, &multiByte) && multiByte) found.encoding = TextEncoding::Utf8;
    return found;
}

bool CheckUtf8(const char* bytes, size_t size, bool* multiByte) {
    const unsigned char* s = reinterpret_cast<const unsigned char*>(bytes);
    std::string_view data(bytes, size);
    for (size_t at = 0; at < size;) {
        at += AsciiRun(s + at, size - at);
        if (at == size) break;
        const size_t length = Utf8SequenceLength(After(data, at));
        if (length == 0) return false;
        *multiByte = true;
        at += length;
    }
    return true;
}

size_t Utf8ToUtf16(std::string_view bytes, wchar_t* out) {
    size_t used = 0;
    return Utf8ToUtf16Within(bytes, out, bytes.size(), &used);
}

size_t Utf8ToUtf16Within(std::string_view bytes, wchar_t* out, size_t room, size_t* used) {
    const unsigned char* s = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t at = 0, units = 0;
    while (at < bytes.size()) {
        size_t length = Utf8SequenceLength(After(bytes, at));
        uint32_t point = length ? CodePoint(s + at, length) : kReplacement;
        if (!length) length = 1;
        const size_t needed = point >= 0x10000 ? 2 : 1;
        if (units + needed > room) break;
        if (needed == 2) {
            point -= 0x10000;
            out[units++] = static_cast<wchar_t>(0xD800 + (point >> 10));
            out[units++] = static_cast<wchar_t>(0xDC00 + (point & 0x3FF));
        } else {
            out[units++] = static_cast<wchar_t>(point);
        }
        at += length;
    }
    *used = at;
    return units;
}

bool Utf16ToUtf8(std::wstring_view text, char* out, size_t* written) {
    size_t length = 0;
    for (size_t at = 0; at < text.size(); ++at) {
        uint32_t unit = static_cast<uint32_t>(text[at]);
        uint32_t point = unit;
        if (unit > 0xFFFF) return false;  // not a UTF-16 unit
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (at + 1 == text.size()) return false;
            const uint32_t low = static_cast<uint32_t>(text[at + 1]);
            if (low < 0xDC00 || low > 0xDFFF) return false;
            point = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
            ++at;
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            return false;
        }
        if (point < 0x80) {
            out[length++] = static_cast<char>(point);
        } else if (point < 0x800) {
            out[length++] = static_cast<char>(0xC0 | (point >> 6));
            out[length++] = static_cast<char>(0x80 | (point & 0x3F));
        } else if (point < 0x10000) {
            out[length++] = static_cast<char>(0xE0 | (point >> 12));
            out[length++] = static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            out[length++] = static_cast<char>(0x80 | (point & 0x3F));
        } else {
            out[length++] = static_cast<char>(0xF0 | (point >> 18));
            out[length++] = static_cast<char>(0x80 | ((point >> 12) & 0x3F));
            out[length++] = static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            out[length++] = static_cast<char>(0x80 | (point & 0x3F));
        }
    }
    *written = length;
    return true;
}
