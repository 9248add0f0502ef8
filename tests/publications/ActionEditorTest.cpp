// The variables tshost offers an author to pick from while an action is edited.
// Publication text is UTF-8 (u8 literals); plain literals here are Windows-1251, as host
// strings are.
#include "tshost/ActionEditor.h"
#include "tests/native/U8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vigrel::tshost {
namespace {

using test::U8;

TEST(ActionEditorTest, ListsEveryVariableOnceSortedIgnoringCase) {
    std::string error;
    const auto publication =
        ReadPublication(U8(u8"Set [b], 1\nAdd [B], 1\nAssert [Счёт], 1\n"
                           u8"VigrelCreate m, watched, =, 1, S, true, true\n"
                           u8"Sub S\n  Print \"[a] [не закрыто [Ёж] ]\"\nEndSub\n"
                           u8"Set \"[x, y]\", 1\nSet [СЧЁТ], 2\n"),
                        "t.pub", error);
    ASSERT_TRUE(publication) << error;
    EXPECT_EQ(
        PublicationVariables(*publication),
        (std::vector<std::string>{"a", "b", "watched", "x, y", "\xA8\xE6", "\xD1\xF7\xB8\xF2"}));
}

} // namespace
} // namespace vigrel::tshost
