// UTF-8 through the real C functions, many strings a call: a seeded random mix of well-formed paths, each
// of which must be shown as exactly the UTF-16 it encodes and come back byte for byte, and malformed ones,
// each of which must be refused with nothing shown and nothing written. The encoders here are the test's
// own, not the library's or the system's.
#include "UiDriver.h"
#include "resource.h"

#include <corvel/corvel_c.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

void AppendUtf8(uint32_t value, std::string& out) {
    if (value < 0x80) {
        out += static_cast<char>(value);
    } else if (value < 0x800) {
        out += static_cast<char>(0xC0 | value >> 6);
        out += static_cast<char>(0x80 | (value & 0x3F));
    } else if (value < 0x10000) {
        out += static_cast<char>(0xE0 | value >> 12);
        out += static_cast<char>(0x80 | (value >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (value & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | value >> 18);
        out += static_cast<char>(0x80 | (value >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (value >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (value & 0x3F));
    }
}

void AppendUtf16(uint32_t value, std::wstring& out) {
    if (value < 0x10000) {
        out += static_cast<wchar_t>(value);
    } else {
        out += static_cast<wchar_t>(0xD800 | (value - 0x10000) >> 10);
        out += static_cast<wchar_t>(0xDC00 | ((value - 0x10000) & 0x3FF));
    }
}

struct Text {
    std::string utf8;
    std::wstring utf16;
};

class Generator {
public:
    explicit Generator(uint32_t seed) : m_random(seed) {}

    // A scalar value, each encoded length equally likely; never NUL, never a surrogate.
    uint32_t ScalarValue() {
        switch (Below(4)) {
        case 0:
            return 1 + Below(0x7F);
        case 1:
            return 0x80 + Below(0x800 - 0x80);
        case 2: {
            const uint32_t value = 0x800 + Below(0x10000 - 0x800 - 0x800);
            return value < 0xD800 ? value : value + 0x800;
        }
        default:
            return 0x10000 + Below(0x110000 - 0x10000);
        }
    }

    // A path made unique by its number, then 1 to 40 random characters.
    Text Valid(size_t number) {
        Text text;
        for (const char c : "C:\\" + std::to_string(number) + "\\")
            AppendUtf8(static_cast<unsigned char>(c), text.utf8),
                AppendUtf16(static_cast<unsigned char>(c), text.utf16);
        for (uint32_t n = 1 + Below(40); n > 0; --n) {
            const uint32_t value = ScalarValue();
            AppendUtf8(value, text.utf8);
            AppendUtf16(value, text.utf16);
        }
        return text;
    }

    // A well-formed path with one malformed sequence put at a character boundary, or cut at the end.
    std::string Invalid(size_t number) {
        const std::string valid = Valid(number).utf8;
        std::string bad;
        switch (Below(8)) {
        case 0: // a stray continuation byte
            bad = std::string(1, static_cast<char>(0x80 + Below(0x40)));
            break;
        case 1: { // an overlong form of a value that needs fewer bytes
            const uint32_t value = Below(0x800);
            if (value < 0x80 && Below(2))
                bad = {static_cast<char>(0xC0 | value >> 6), static_cast<char>(0x80 | (value & 0x3F))};
            else
                bad = {static_cast<char>(0xE0), static_cast<char>(0x80 | value >> 6),
                       static_cast<char>(0x80 | (value & 0x3F))};
            break;
        }
        case 2: { // a four-byte overlong form
            const uint32_t value = Below(0x10000);
            bad = {static_cast<char>(0xF0), static_cast<char>(0x80 | value >> 12),
                   static_cast<char>(0x80 | (value >> 6 & 0x3F)), static_cast<char>(0x80 | (value & 0x3F))};
            break;
        }
        case 3: // a surrogate
            AppendUtf8(0xD800 + Below(0x800), bad);
            break;
        case 4: // above U+10FFFF, as far as four bytes reach
            AppendUtf8(0x110000 + Below(0x200000 - 0x110000), bad);
            break;
        case 5: // a byte that is never in UTF-8
            bad = std::string(1, static_cast<char>(0xF5 + Below(0x100 - 0xF5)));
            break;
        case 6: { // a lead byte without all its trail bytes, before another character
            std::string whole;
            AppendUtf8(0x80 + Below(0x10FFFF - 0x80), whole);
            if (whole.size() == 3 && static_cast<unsigned char>(whole[0]) == 0xED &&
                static_cast<unsigned char>(whole[1]) >= 0xA0)
                whole = "\xE2\x82\xAC";
            bad = whole.substr(0, 1 + Below(static_cast<uint32_t>(whole.size() - 1))) + "x";
            break;
        }
        default: { // the same, cut at the end of the text
            std::string whole;
            AppendUtf8(0x10000 + Below(0x100000), whole);
            return valid + whole.substr(0, 1 + Below(3));
        }
        }
        // At a character boundary: after the path's number.
        const size_t at = valid.find('\\', 3) + 1;
        return valid.substr(0, at) + bad + valid.substr(at);
    }

    uint32_t Below(uint32_t bound) { return std::uniform_int_distribution<uint32_t>(0, bound - 1)(m_random); }

private:
    std::mt19937 m_random;
};

std::set<std::wstring> RowsOf(HWND list) {
    std::set<std::wstring> rows;
    const LRESULT count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT index = 0; index < count; ++index) {
        std::wstring text(static_cast<size_t>(::SendMessageW(list, LB_GETTEXTLEN, index, 0)) + 1, L'\0');
        text.resize(
            static_cast<size_t>(::SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0]))));
        rows.insert(text);
    }
    return rows;
}

constexpr uint32_t kSeed = 20261209;
constexpr int kDialogCalls = 60, kPathsPerDialog = 250;
constexpr int kRefusedCalls = 10000;

TEST(Utf8RoundTrip, WellFormedPathsAreShownAsTheirUtf16AndComeBackByteForByte) {
    Generator generator(kSeed);
    size_t number = 0, shownWrong = 0, returnedWrong = 0;
    for (int call = 0; call < kDialogCalls; ++call) {
        std::vector<Text> texts;
        std::set<std::wstring> expectedRows;
        std::set<std::string> expectedBack;
        for (int i = 0; i < kPathsPerDialog; ++i) {
            texts.push_back(generator.Valid(number++));
            expectedRows.insert(texts.back().utf16);
            expectedBack.insert(texts.back().utf8);
        }
        std::vector<const char*> files;
        for (const Text& text : texts)
            files.push_back(text.utf8.c_str());

        std::set<std::wstring> shown;
        ui::WhenShown accept([&](ui::Window dialog) {
            shown = RowsOf(dialog.Item(IDC_FILE_LIST).hwnd());
            ui::PostClose(dialog, ui::Close::Ok);
        });
        ui::Watchdog watchdog;
        char** checked = nullptr;
        size_t count = 0;
        ASSERT_EQ(corvel_multi_file_options(files.data(), files.size(), nullptr, 0, nullptr, nullptr,
                                            &checked, &count),
                  CORVEL_OK)
            << "call " << call;
        ASSERT_EQ(accept.DialogsShown(), 1);
        ASSERT_NE(checked, nullptr);
        std::set<std::string> back;
        for (size_t i = 0; i < count; ++i)
            back.insert(checked[i]);
        EXPECT_EQ(checked[count], nullptr);
        corvel_release(checked);
        EXPECT_EQ(count, expectedBack.size());
        if (shown != expectedRows)
            ++shownWrong;
        if (back != expectedBack)
            ++returnedWrong;
        EXPECT_EQ(shown, expectedRows) << "call " << call;
        EXPECT_EQ(back, expectedBack) << "call " << call;
    }
    std::printf("[ figures  ] %d calls, %zu well-formed paths: %zu calls shown wrong, %zu returned wrong\n",
                kDialogCalls, number, shownWrong, returnedWrong);
}

TEST(Utf8RoundTrip, EachMalformedPathIsRefusedAmongWellFormedOnes) {
    Generator generator(kSeed + 1);
    ui::WhenShown shown([](ui::Window dialog) { ui::PostClose(dialog, ui::Close::Cancel); });
    size_t number = 0;
    int accepted = 0;
    for (int call = 0; call < kRefusedCalls; ++call) {
        std::vector<std::string> texts;
        for (uint32_t n = generator.Below(8); n > 0; --n)
            texts.push_back(generator.Valid(number++).utf8);
        const std::string bad = generator.Invalid(number++);
        texts.insert(texts.begin() + generator.Below(static_cast<uint32_t>(texts.size() + 1)), bad);
        std::vector<const char*> files;
        for (const std::string& text : texts)
            files.push_back(text.c_str());
        // In either set, and as a comment.
        char** checked = reinterpret_cast<char**>(1);
        size_t count = 7;
        char* comment = reinterpret_cast<char*>(2);
        int keep = 5;
        const int result = call % 3 == 0 ? corvel_multi_file_options(files.data(), files.size(), nullptr, 0,
                                                                     nullptr, nullptr, &checked, &count)
                           : call % 3 == 1
                               ? corvel_multi_file_options(nullptr, 0, files.data(), files.size(), nullptr,
                                                           nullptr, &checked, &count)
                               : corvel_check_in_options(nullptr, 0, nullptr, 0, &keep, bad.c_str(), 100,
                                                         nullptr, nullptr, &checked, &count, &comment);
        if (result != CORVEL_E_INVALID_UTF8) {
            ++accepted;
            std::string bytes;
            for (unsigned char c : bad)
                bytes += (c < 0x80 ? std::string(1, static_cast<char>(c)) : "\\x" + std::to_string(c));
            ADD_FAILURE() << "call " << call << " gave " << result << " for " << bytes;
        }
        EXPECT_EQ(checked, reinterpret_cast<char**>(1));
        EXPECT_EQ(count, 7u);
        EXPECT_EQ(comment, reinterpret_cast<char*>(2));
        EXPECT_EQ(keep, 5);
    }
    EXPECT_EQ(shown.DialogsShown(), 0);
    std::printf("[ figures  ] %d malformed paths among %zu well-formed ones: %d not refused\n", kRefusedCalls,
                number - kRefusedCalls, accepted);
}

} // namespace
