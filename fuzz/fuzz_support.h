// Helpers shared by the fuzz targets: a property check that stops the run
// with a readable report (libFuzzer then keeps the input as a crash file),
// and the ways the targets turn fuzz bytes into wide text.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace velmi::fuzz {

// Printable form of a wide text: ASCII as it is, the rest as \uXXXX.
inline std::string Escaped(std::wstring_view text) {
    std::string out = "\"";
    for (const wchar_t c : text) {
        if (c >= 0x20 && c < 0x7F && c != L'\\' && c != L'"') {
            out += static_cast<char>(c);
        } else {
            char code[12];
            std::snprintf(code, sizeof code, "\\u%04X", static_cast<unsigned>(c));
            out += code;
        }
    }
    return out + "\"";
}

[[noreturn]] inline void Fail(const char* file, int line, const char* expression,
                              const std::string& detail) {
    std::fprintf(stderr, "\n%s:%d: property failed: %s\n  %s\n", file, line, expression,
                 detail.c_str());
    std::abort();
}

// Text of up to maxLength characters, mostly from the few that matter to the
// rule under test, now and then anything at all (blanks, controls,
// surrogates, wide digits).
inline std::wstring PickText(FuzzedDataProvider& in, std::wstring_view alphabet,
                             std::size_t maxLength) {
    constexpr wchar_t kOdd[] = {L'\0',  L'\t',  L'\r',  L'\n',  0x00A0, 0x0660, 0xFF10, 0xFF11,
                                0xFF1A, 0xFF5B, 0xFF0A, 0xD800, 0xDC00, 0xFFFF, 0x2007, 0x00E9};
    std::wstring text(in.ConsumeIntegralInRange<std::size_t>(0, maxLength), L' ');
    for (wchar_t& c : text) {
        const auto byte = in.ConsumeIntegral<unsigned char>();
        c = byte < 0xF0 ? alphabet[byte % alphabet.size()] : kOdd[byte & 0x0F];
    }
    return text;
}

}  // namespace velmi::fuzz

#define FUZZ_CHECK(condition, detail) \
    ((condition) ? void() : ::velmi::fuzz::Fail(__FILE__, __LINE__, #condition, (detail)))
