#include "HiddenCharacters.h"

#include "AfxLanguage.h"
#include "AfxModuleState.h"
#include "resource.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <iterator>

namespace {

struct Range {
    char32_t first, last;
    UINT kind; // the string that names the kind
};

// Sorted and disjoint: Default_Ignorable_Code_Point, Cc, Cf, Zl and Zp, from the Unicode 15 data files.
constexpr Range kRanges[] = {
    {0x0000, 0x001F, IDS_KIND_CONTROL},     {0x007F, 0x009F, IDS_KIND_CONTROL},
    {0x00AD, 0x00AD, IDS_KIND_INVISIBLE},   {0x034F, 0x034F, IDS_KIND_INVISIBLE},
    {0x0600, 0x0605, IDS_KIND_FORMAT},      {0x061C, 0x061C, IDS_KIND_MARK},
    {0x06DD, 0x06DD, IDS_KIND_FORMAT},      {0x070F, 0x070F, IDS_KIND_FORMAT},
    {0x0890, 0x0891, IDS_KIND_FORMAT},      {0x08E2, 0x08E2, IDS_KIND_FORMAT},
    {0x115F, 0x1160, IDS_KIND_INVISIBLE},   {0x17B4, 0x17B5, IDS_KIND_INVISIBLE},
    {0x180B, 0x180F, IDS_KIND_INVISIBLE},   {0x200B, 0x200D, IDS_KIND_INVISIBLE},
    {0x200E, 0x200F, IDS_KIND_MARK},        {0x2028, 0x2029, IDS_KIND_CONTROL},
    {0x202A, 0x202C, IDS_KIND_EMBEDDING},   {0x202D, 0x202E, IDS_KIND_OVERRIDE},
    {0x2060, 0x2065, IDS_KIND_INVISIBLE},   {0x2066, 0x2069, IDS_KIND_ISOLATE},
    {0x206A, 0x206F, IDS_KIND_INVISIBLE},   {0x3164, 0x3164, IDS_KIND_INVISIBLE},
    {0xFE00, 0xFE0F, IDS_KIND_INVISIBLE},   {0xFEFF, 0xFEFF, IDS_KIND_INVISIBLE},
    {0xFFA0, 0xFFA0, IDS_KIND_INVISIBLE},   {0xFFF0, 0xFFF8, IDS_KIND_INVISIBLE},
    {0xFFF9, 0xFFFB, IDS_KIND_FORMAT},      {0x110BD, 0x110BD, IDS_KIND_FORMAT},
    {0x110CD, 0x110CD, IDS_KIND_FORMAT},    {0x13430, 0x1343F, IDS_KIND_FORMAT},
    {0x1BCA0, 0x1BCA3, IDS_KIND_INVISIBLE}, {0x1D173, 0x1D17A, IDS_KIND_INVISIBLE},
    {0xE0000, 0xE0FFF, IDS_KIND_INVISIBLE},
};

// The characters with a short name of their own, and the string that names them in words.
struct Named {
    char32_t code;
    const wchar_t* marker;
    UINT name;
};
constexpr Named kNamed[] = {
    {0x00AD, L"SHY", IDS_CHAR_SHY},       {0x034F, L"CGJ", 0},
    {0x061C, L"ALM", IDS_CHAR_ALM},       {0x200B, L"ZWSP", IDS_CHAR_ZWSP},
    {0x200C, L"ZWNJ", IDS_CHAR_ZWNJ},     {0x200D, L"ZWJ", IDS_CHAR_ZWJ},
    {0x200E, L"LRM", IDS_CHAR_LRM},       {0x200F, L"RLM", IDS_CHAR_RLM},
    {0x2028, L"LS", IDS_CHAR_LS},         {0x2029, L"PS", IDS_CHAR_PS},
    {0x202A, L"LRE", IDS_CHAR_LRE},       {0x202B, L"RLE", IDS_CHAR_RLE},
    {0x202C, L"PDF", IDS_CHAR_PDF},       {0x202D, L"LRO", IDS_CHAR_LRO},
    {0x202E, L"RLO", IDS_CHAR_RLO},       {0x2060, L"WJ", IDS_CHAR_WJ},
    {0x2066, L"LRI", IDS_CHAR_LRI},       {0x2067, L"RLI", IDS_CHAR_RLI},
    {0x2068, L"FSI", IDS_CHAR_FSI},       {0x2069, L"PDI", IDS_CHAR_PDI},
    {0xFEFF, L"ZWNBSP", IDS_CHAR_ZWNBSP},
};

const Range* RangeOf(char32_t code) {
    const Range* range = std::upper_bound(std::begin(kRanges), std::end(kRanges), code,
                                          [](char32_t c, const Range& r) { return c < r.first; });
    if (range == std::begin(kRanges))
        return nullptr;
    --range;
    return code <= range->last ? range : nullptr;
}

const Named* NamedOf(char32_t code) {
    for (const Named& named : kNamed)
        if (named.code == code)
            return &named;
    return nullptr;
}

// The variation selector's number, 1..256, or 0 for another character.
int VariationSelector(char32_t code) {
    if (code >= 0xFE00 && code <= 0xFE0F)
        return static_cast<int>(code - 0xFE00) + 1;
    if (code >= 0xE0100 && code <= 0xE01EF)
        return static_cast<int>(code - 0xE0100) + 17;
    return 0;
}

// The character starting at text[at] of `length` units, and how many units it takes. A lone surrogate
// stands for itself.
char32_t CodeAt(const wchar_t* text, std::size_t length, std::size_t at, std::size_t& units) {
    const char32_t first = static_cast<char16_t>(text[at]);
    if (first >= 0xD800 && first <= 0xDBFF && at + 1 < length) {
        const char32_t second = static_cast<char16_t>(text[at + 1]);
        if (second >= 0xDC00 && second <= 0xDFFF) {
            units = 2;
            return 0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00);
        }
    }
    units = 1;
    return first;
}

// The language the string `id` would be read in.
LANGID LanguageOfString(UINT id) {
    return AfxGetResourceLanguage(AfxGetResourceHandle(), MAKEINTRESOURCEW(6) /* RT_STRING */,
                                  MAKEINTRESOURCEW(id / 16 + 1));
}

std::wstring CodePointText(char32_t code) {
    wchar_t buffer[16];
    std::swprintf(buffer, 16, L"U+%04X", static_cast<unsigned>(code));
    return buffer;
}

} // namespace

bool IsHiddenCharacter(char32_t code) {
    return RangeOf(code) != nullptr;
}

bool HasHiddenCharacters(const wchar_t* text, std::size_t length) {
    std::size_t units = 1;
    for (std::size_t at = 0; at < length; at += units) {
        const char16_t unit = static_cast<char16_t>(text[at]);
        units = 1;
        // Printable ASCII and most of the rest are ruled out without a search.
        if ((unit >= 0x20 && unit < 0x7F) || (unit > 0x08E2 && unit < 0x115F))
            continue;
        if (IsHiddenCharacter(CodeAt(text, length, at, units)))
            return true;
    }
    return false;
}

bool HasHiddenCharacters(const char* text, UINT codePage) {
    // Printable ASCII is the same in every code page the paths come in; only the rest is converted.
    const char* c = text;
    while (*c >= 0x20 && *c < 0x7F)
        ++c;
    if (!*c)
        return false;
    // A byte gives at most one UTF-16 unit, so a usual path converts on the stack: a fill of a million
    // paths in another script allocates nothing for this.
    const std::size_t bytes = std::strlen(c);
    wchar_t onStack[512];
    std::wstring onHeap;
    wchar_t* wide = onStack;
    if (bytes > 512) {
        onHeap.resize(bytes);
        wide = &onHeap[0];
    }
    const int length =
        ::MultiByteToWideChar(codePage, 0, c, static_cast<int>(bytes), wide, static_cast<int>(bytes));
    return length > 0 && HasHiddenCharacters(wide, static_cast<std::size_t>(length));
}

std::vector<TextPiece> SplitAtHiddenCharacters(const std::wstring& text) {
    std::vector<TextPiece> pieces;
    std::size_t run = 0;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t units = 1;
        const char32_t code = CodeAt(text.c_str(), text.size(), at, units);
        if (IsHiddenCharacter(code)) {
            if (at > run)
                pieces.push_back({run, at - run, kOrdinaryText});
            pieces.push_back({at, units, code});
            run = at + units;
        }
        at += units;
    }
    if (text.size() > run)
        pieces.push_back({run, text.size() - run, kOrdinaryText});
    return pieces;
}

std::wstring HiddenCharacterMarker(char32_t code) {
    if (const Named* named = NamedOf(code))
        return named->marker;
    if (const int selector = VariationSelector(code))
        return L"VS" + std::to_wstring(selector);
    return CodePointText(code);
}

std::wstring ShowHiddenCharacters(const std::wstring& text) {
    std::wstring shown;
    for (const TextPiece& piece : SplitAtHiddenCharacters(text)) {
        if (piece.hidden == kOrdinaryText)
            shown.append(text, piece.start, piece.length);
        else
            shown += L'<' + HiddenCharacterMarker(piece.hidden) + L'>';
    }
    return shown;
}

std::wstring DescribeHiddenCharacters(const std::wstring& text) {
    std::vector<char32_t> seen;
    std::wstring description;
    const std::wstring separator = AfxLoadString(IDS_LIST_SEPARATOR);
    // A language may name single characters; where the user's does not, the names would come from
    // another language, so the characters read as their kind.
    const bool namesSingleCharacters =
        LanguageOfString(IDS_CHAR_RLO) == LanguageOfString(IDS_HIDDEN_CONTAINS);
    for (const TextPiece& piece : SplitAtHiddenCharacters(text)) {
        if (piece.hidden == kOrdinaryText || std::find(seen.begin(), seen.end(), piece.hidden) != seen.end())
            continue;
        seen.push_back(piece.hidden);
        const Named* named = NamedOf(piece.hidden);
        UINT name = RangeOf(piece.hidden)->kind;
        if (namesSingleCharacters && named && named->name)
            name = named->name;
        else if (namesSingleCharacters && VariationSelector(piece.hidden))
            name = IDS_CHAR_VS;
        if (!description.empty())
            description += separator.empty() ? std::wstring(L", ") : separator;
        description += AfxLoadString(name) + L" (" + CodePointText(piece.hidden) + L")";
    }
    return description;
}

std::wstring WarnOfHiddenCharacters(const std::wstring& text, UINT format) {
    const std::wstring description = DescribeHiddenCharacters(text);
    if (description.empty())
        return description;
    std::wstring warning = AfxLoadString(format);
    const std::size_t at = warning.find(L"%1");
    if (at == std::wstring::npos)
        return description;
    return warning.replace(at, 2, description);
}
