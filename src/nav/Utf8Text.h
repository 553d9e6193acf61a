// UTF-8 text: decoding one character, reading a file written in Latin-1 (the encoding of files
// made on older systems), and the upper case of names, accented Latin letters included. Used by
// the configuration files and by the sentence encoder.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace corvel::nav {

// The character starting at text[i] and the number of bytes it takes (1 to 4). A byte that does
// not start a valid sequence (stray continuation, overlong form, surrogate, beyond U+10FFFF, cut
// short) gives its own value as the character and a length of 0.
struct Utf8Char {
    char32_t code = 0;
    std::size_t length = 0;
};
Utf8Char DecodeUtf8(std::string_view text, std::size_t i);

bool IsValidUtf8(std::string_view text);

// Each byte taken as a Latin-1 character, written as UTF-8.
std::string Latin1ToUtf8(std::string_view text);

// Appends the UTF-8 form of `code`.
void AppendUtf8(std::string& out, char32_t code);

// Upper case of ASCII and Latin-1 letters (a-z, à-þ except ÷, ÿ -> Ÿ), others unchanged; invalid
// bytes are kept as they are.
std::string UpperCase(std::string_view text);

// Letter-case-blind equality by UpperCase.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// The first `count` characters of `text` (a valid UTF-8 character is never cut; an invalid byte
// counts as one character).
std::string_view FirstCharacters(std::string_view text, std::size_t count);

// The longest start of `text` of at most `bytes` bytes that does not cut a valid character.
std::string_view FirstBytes(std::string_view text, std::size_t bytes);

// The number of characters (an invalid byte counts as one).
std::size_t CharacterCount(std::string_view text);

}  // namespace corvel::nav
