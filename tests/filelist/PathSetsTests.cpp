// The walk through the caller's two sets: the byte order it compares paths in must be std::string's own,
// and the number of rows it counts, from both ends at once on long lists, the size of the sets' union.
#include "PathSets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

using Paths = std::set<std::string>;

int Sign(int value) {
    return (value > 0) - (value < 0);
}

TEST(ComparePathBytes, OrdersAsTheStandardStringDoes) {
    using namespace std::string_literals;
    const std::string samples[] = {
        ""s,
        "a"s,
        "C:\\src\\a.c"s,
        "C:\\src\\a.cpp"s,
        "C:\\src\\b.c"s,
        "C:\\src\\"s,
        "C:\\SRC\\a.c"s,
        "1234567"s,
        "12345678"s,
        "123456789"s,
        "12345678\x80"s,
        "12345678\x7f"s,
        "\xff\xfe\x81\x40"s,
        "\x81\x40"s,
        "\x7f"s,
        "\x80"s,
        "C:\\caf\xe9.c"s,
        "C:\\x\\nul\0tail.c"s,
        "C:\\x\\nul\0"s,
        "C:\\x\\nul"s,
        "0123456789abcdef0123456789abcdeX"s,
        "0123456789abcdef0123456789abcdeY"s,
    };
    for (const std::string& a : samples)
        for (const std::string& b : samples)
            EXPECT_EQ(Sign(ComparePathBytes(a, b)), Sign(a.compare(b)))
                << testing::PrintToString(a) << " against " << testing::PrintToString(b);
}

std::string PathNumber(int i) {
    char name[48];
    std::snprintf(name, sizeof name, "C:\\Work\\Project\\src\\module%03d\\file%06d.cpp", i % 97, i);
    return name;
}

// `count` paths, each in the files, the others, both or neither as `where(i)` says (bit 0: files, bit 1:
// others).
template <class Where> void MakeSets(int count, Where where, Paths& files, Paths& others) {
    for (int i = 0; i < count; ++i) {
        const int in = where(i);
        if (in & 1)
            files.insert(PathNumber(i));
        if (in & 2)
            others.insert(PathNumber(i));
    }
}

TEST(RowCount, IsTheUnionOfTheSetsShortOrLongOverlappingOrNot) {
    struct Shape {
        const char* name;
        int (*where)(int);
    };
    const Shape shapes[] = {
        {"disjoint, interleaved", [](int i) { return i % 3 == 2 ? 2 : 1; }},
        {"every other path in both", [](int i) { return i % 2 ? 3 : 1 + (i % 4 == 0); }},
        {"others within the files", [](int i) { return i % 5 ? 1 : 3; }},
        {"files within the others", [](int i) { return i % 5 ? 2 : 3; }},
        {"identical", [](int) { return 3; }},
        {"no files", [](int) { return 2; }},
        {"no others", [](int) { return 1; }},
        {"others all after the files", [](int i) { return i < 500 ? 1 : 2; }},
        {"others all before the files", [](int i) { return i < 500 ? 2 : 1; }},
    };
    for (int count : {0, 1, 9, 1000, 210000}) // from 200,000 paths on, two walks meet in the middle
        for (const Shape& shape : shapes) {
            SCOPED_TRACE(std::string(shape.name) + ", " + std::to_string(count) + " paths");
            Paths files, others;
            MakeSets(count, shape.where, files, others);
            std::vector<std::string> both;
            std::set_union(files.begin(), files.end(), others.begin(), others.end(),
                           std::back_inserter(both));
            CRowCount rows(files, others);
            EXPECT_EQ(rows.Get(), both.size());
            EXPECT_EQ(rows.Get(), both.size()) << "asked twice";
        }
}

TEST(RowCount, GoesWhenNeverAskedWhileItsThreadWalks) {
    Paths files, others;
    MakeSets(
        250000, [](int i) { return 1 + (i % 2); }, files, others);
    for (int i = 0; i < 5; ++i) {
        CRowCount rows(files, others); // the dialog was not made: the count is never asked for
    }
    CRowCount rows(files, others);
    EXPECT_EQ(rows.Get(), 250000u);
}

} // namespace
