#include "date_reader.h"

#include <algorithm>
#include <array>

namespace velmi {
namespace {

// Case folding for the scripts month names are written in here: Latin,
// Latin-1, Latin Extended-A, Greek and Cyrillic. Names in other scripts
// have no case.
wchar_t Fold(wchar_t c) {
    if ((c >= L'A' && c <= L'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 0x20;
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    const bool evenUpper = (c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
    const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if ((evenUpper && c % 2 == 0) || (oddUpper && c % 2 == 1)) return c + 1;
    return c;
}

std::wstring Folded(std::wstring_view s) {
    std::wstring out(s);
    std::transform(out.begin(), out.end(), out.begin(), Fold);
    return out;
}

bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}
bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == 0xA0;
}
bool IsPunctuation(wchar_t c) {
    return c == L'/' || c == L'-' || c == L'.' || c == L',';
}

struct Field {
    bool isMonthName = false;
    int value = 0;   // the number, or the month named
    int digits = 0;  // how many digits the number had
};

struct Fields {
    std::array<Field, 3> items;
    std::array<wchar_t, 2> separators{};  // the punctuation between them, or a blank
};

// The longest month name at the start of the text, when a letter does not
// go on after it.
std::optional<std::pair<int, size_t>> MonthNameAt(std::wstring_view s, const DateLocale& locale) {
    std::optional<std::pair<int, size_t>> best;
    for (const DateLocale::Name& name : locale.monthNames) {
        const size_t n = name.folded.size();
        if (s.substr(0, n) != name.folded || (best && best->second >= n)) continue;
        const wchar_t next = n < s.size() ? s[n] : L' ';
        if (IsBlank(next) || IsPunctuation(next) || IsDigit(next)) best = {name.month, n};
    }
    return best;
}

// Splits the folded text into exactly three fields and the two runs between them.
std::optional<Fields> Split(std::wstring_view s, const DateLocale& locale) {
    Fields f;
    size_t count = 0, i = 0;
    while (i < s.size()) {
        if (count == 3) return std::nullopt;
        Field& field = f.items[count];
        if (const auto name = MonthNameAt(s.substr(i), locale)) {
            field = {true, name->first, 0};
            i += name->second;
            if (i < s.size() && s[i] == L'.') ++i;  // "Dez." for "Dez"
        } else {
            for (; i < s.size() && IsDigit(s[i]) && field.digits <= 4; ++i, ++field.digits)
                field.value = field.value * 10 + (s[i] - L'0');
            if (field.digits == 0 || field.digits > 4) return std::nullopt;
        }
        if (++count == 3) continue;
        wchar_t separator = 0;
        const size_t start = i;
        for (; i < s.size() && (IsBlank(s[i]) || IsPunctuation(s[i])); ++i) {
            if (IsBlank(s[i])) continue;
            if (separator) return std::nullopt;  // one punctuation mark at most
            separator = s[i];
        }
        if (i == start) return std::nullopt;
        f.separators[count - 1] = separator ? separator : L' ';
    }
    if (count != 3) return std::nullopt;
    return f;
}

int YearOf(const Field& f, const DateLocale& locale) {
    if (f.digits > 2) return f.value;
    const int base = locale.twoDigitYearMax - 99;
    return base + ((f.value - base) % 100 + 100) % 100;
}

std::optional<CivilDate> FromNumbers(const Fields& f, const DateLocale& locale) {
    if (f.separators[0] != f.separators[1] || f.separators[0] == L',') return std::nullopt;
    DateLocale::Order order = locale.order;
    if (f.items[0].digits > 2) order = DateLocale::Order::kYearMonthDay;
    const auto [y, m, d] = order == DateLocale::Order::kMonthDayYear   ? std::array{2, 0, 1}
                           : order == DateLocale::Order::kDayMonthYear ? std::array{2, 1, 0}
                                                                       : std::array{0, 1, 2};
    if (f.items[m].digits > 2 || f.items[d].digits > 2) return std::nullopt;
    return CivilDate{YearOf(f.items[y], locale), f.items[m].value, f.items[d].value};
}

}  // namespace

void DateLocale::AddMonthName(int month, std::wstring_view name) {
    std::wstring folded = Folded(name);
    while (!folded.empty() && (folded.back() == L'.' || IsBlank(folded.back())))
        folded.pop_back();
    if (!folded.empty()) monthNames.push_back({std::move(folded), month});
}

DateLocale::Order OrderOfPicture(std::wstring_view picture) {
    const size_t d = picture.find(L'd'), m = picture.find(L'M'), y = picture.find(L'y');
    if (y < m && y < d) return DateLocale::Order::kYearMonthDay;
    return d < m ? DateLocale::Order::kDayMonthYear : DateLocale::Order::kMonthDayYear;
}

std::optional<CivilDate> ReadDateText(std::wstring_view text, const DateLocale& locale) {
    const size_t first = text.find_first_not_of(L" \t\u00a0");
    if (first == std::wstring_view::npos) return std::nullopt;
    text = text.substr(first, text.find_last_not_of(L" \t\u00a0") - first + 1);
    const auto f = Split(Folded(text), locale);
    if (!f) return std::nullopt;
    const auto& [a, b, c] = f->items;
    std::optional<CivilDate> d;
    if (!a.isMonthName && !b.isMonthName && !c.isMonthName) {
        d = FromNumbers(*f, locale);
    } else if (a.isMonthName && !b.isMonthName && !c.isMonthName && b.digits <= 2) {
        d = CivilDate{YearOf(c, locale), a.value, b.value};
    } else if (!a.isMonthName && b.isMonthName && !c.isMonthName && a.digits <= 2) {
        d = CivilDate{YearOf(c, locale), b.value, a.value};
    }
    if (!d || !IsValidDate(*d)) return std::nullopt;
    return d;
}

}  // namespace velmi
