// UTF-8 text; see Utf8Text.h.
#include "nav/Utf8Text.h"

#include <algorithm>

namespace corvel::nav {

Utf8Char DecodeUtf8(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) return {lead, 1};
    // Number of bytes, first payload bits and the smallest code point each length may carry.
    std::size_t length = 0;
    char32_t code = 0;
    char32_t smallest = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, code = lead & 0x1Fu, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, code = lead & 0x0Fu, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, code = lead & 0x07u, smallest = 0x10000;
    } else {
        return {lead, 0};
    }
    if (text.size() - i < length) return {lead, 0};
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) return {lead, 0};
        code = code << 6 | (next & 0x3Fu);
    }
    if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {lead, 0};
    return {code, length};
}

bool IsValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const Utf8Char c = DecodeUtf8(text, i);
        if (c.length == 0) return false;
        i += c.length;
    }
    return true;
}

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::string Latin1ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char c : text) AppendUtf8(out, static_cast<unsigned char>(c));
    return out;
}

namespace {

char32_t UpperCode(char32_t c) {
    if (c >= U'a' && c <= U'z') return c - 0x20;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;  // à..þ, not ÷
    if (c == 0xFF) return 0x178;                               // ÿ -> Ÿ
    return c;
}

}  // namespace

std::string UpperCase(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const Utf8Char c = DecodeUtf8(text, i);
        if (c.length == 0) {
            out += text[i++];
            continue;
        }
        AppendUtf8(out, UpperCode(c.code));
        i += c.length;
    }
    return out;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) { return UpperCase(a) == UpperCase(b); }

std::string_view FirstCharacters(std::string_view text, std::size_t count) {
    std::size_t i = 0;
    for (std::size_t n = 0; n < count && i < text.size(); ++n) {
        const std::size_t length = DecodeUtf8(text, i).length;
        i += length == 0 ? 1 : length;
    }
    return text.substr(0, i);
}

std::string_view FirstBytes(std::string_view text, std::size_t bytes) {
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t length = std::max<std::size_t>(DecodeUtf8(text, i).length, 1);
        if (i + length > bytes) break;
        i += length;
    }
    return text.substr(0, i);
}

std::size_t CharacterCount(std::string_view text) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size(); ++n) {
        const std::size_t length = DecodeUtf8(text, i).length;
        i += length == 0 ? 1 : length;
    }
    return n;
}

}  // namespace corvel::nav
