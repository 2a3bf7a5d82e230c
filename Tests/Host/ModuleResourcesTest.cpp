#include <ModuleResources.h>

#include <gtest/gtest.h>

namespace {

constexpr const char* kResources = R"(# Menus
strings 32500 "Menu"
    1 "Object Skellowing"
    2 "Skellow From IFC^E3^ED^T"   # a comment after an item
    3 "Say \"$1\"\tthen\\stop\nhere"
end

dialog 32600 "Name Request" modal 300 110 grow hv
    1 button   220 80 70 20 "OK"
    2 button   140 80 70 20 "Cancel"
    3 lefttext  10 10 280 16 ""
    4 edittext  10 40 280 20 "" maxlength 75 help "The new name"
    5 multilist 10 60 280 90 "" rowheight 18
end

strings 32600 "A list that shares the dialog's id"
    1 "shared"
end
)";

TEST(ModuleResources, ReadsStringListsAndDialogs) {
    host::ModuleResources resources;
    std::string error;
    ASSERT_TRUE(resources.addFile(kResources, "test.rsrc", error)) << error;

    EXPECT_EQ(*resources.string(32500, 1), "Object Skellowing");
    EXPECT_EQ(*resources.string(32500, 2), "Skellow From IFC^E3^ED^T");
    EXPECT_EQ(*resources.string(32500, 3), "Say \"$1\"\tthen\\stop\nhere");
    EXPECT_EQ(resources.string(32500, 4), nullptr);
    EXPECT_EQ(resources.string(32500, 0), nullptr);
    EXPECT_EQ(resources.string(1, 1), nullptr);
    EXPECT_EQ(*resources.string(32600, 1), "shared");

    const host::DialogResource* dialog = resources.dialog(32600);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->title, "Name Request");
    EXPECT_FALSE(dialog->palette);
    EXPECT_EQ(dialog->width, 300);
    EXPECT_EQ(dialog->height, 110);
    EXPECT_EQ(dialog->grow, host::DialogGrow::both);
    ASSERT_EQ(dialog->items.size(), 5u);
    EXPECT_EQ(dialog->items[1].kind, host::DialogItemKind::button);
    EXPECT_EQ(dialog->items[1].text, "Cancel");
    EXPECT_EQ(dialog->items[1].x, 140);
    EXPECT_EQ(dialog->items[3].kind, host::DialogItemKind::editText);
    EXPECT_EQ(dialog->items[3].maxLength, 75);
    EXPECT_EQ(dialog->items[3].help, "The new name");
    EXPECT_EQ(dialog->items[4].kind, host::DialogItemKind::multiList);
    EXPECT_EQ(dialog->items[4].rowHeight, 18);
    EXPECT_EQ(resources.dialog(32500), nullptr);
}

TEST(ModuleResources, ReadsASkippedItemAsMissing) {
    host::ModuleResources resources;
    std::string error;
    ASSERT_TRUE(resources.addFile("strings 7 \"list\"\n1 \"one\"\n4 \"four\"\nend\n", "gap", error)) << error;
    EXPECT_EQ(*resources.string(7, 1), "one");
    EXPECT_EQ(resources.string(7, 2), nullptr);
    EXPECT_EQ(resources.string(7, 3), nullptr);
    EXPECT_EQ(*resources.string(7, 4), "four");
    EXPECT_EQ(resources.string(7, 5), nullptr);
}

TEST(ModuleResources, RejectsMalformedTextNamingFileAndLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"strings 1 \"a\"\n  1 \"x\"\n", "r:1: string list without its end"},
        {"strings 1 \"a\"\n  2 \"x\"\n  2 \"y\"\nend\n",
         "r:3: item 2 after item 2: items come in ascending order"},
        {"strings 1 \"a\"\n  1 \"x\nend\n", "r:2: text without its closing quote"},
        {"strings 1 \"a\"\n  1 \"x\\q\"\nend\n", "r:2: unknown escape \\q"},
        {"strings 1 \"a\"\n  1 \"x\" extra\nend\n", "r:2: unexpected \"extra\" at the end of the line"},
        {"strings 0 \"a\"\nend\n", "r:1: expected the string list's id (a number from 1 to 32767)"},
        {"strings 40000 \"a\"\nend\n", "r:1: expected the string list's id (a number from 1 to 32767)"},
        {"strings 99999999999999999999 \"a\"\nend\n", "r:1: number out of range: 99999999999999999999"},
        {"strings 1 \"a\"\nend\nstrings 1 \"b\"\nend\n", "r:3: string list 1 is defined twice"},
        {"menu 1\n", "r:1: expected strings or dialog, not \"menu\""},
        {"dialog 5 \"T\" window 10 10\nend\n", "r:1: expected modal or palette"},
        {"dialog 5 \"T\" modal 10 10 grow x\nend\n", "r:1: expected grow none, h, v or hv"},
        {"dialog 5 \"T\" modal 10 10\n 1 knob 0 0 1 1 \"\"\nend\n", "r:2: unknown item kind \"knob\""},
        {"dialog 5 \"T\" modal 10 10\n 1 button 0 0 1 \"\"\nend\n",
         "r:2: expected the height (a number from 0 to 32767)"},
        {"dialog 5 \"T\" modal 10 10\n 1 button 0 0 1 1 \"\" colour 3\nend\n",
         "r:2: unknown option \"colour\""},
        {"dialog 5 \"T\" modal 10 10\nend stop\n", "r:2: unexpected text after end"},
    };
    for (const auto& [text, message] : cases) {
        SCOPED_TRACE(text);
        host::ModuleResources resources;
        std::string error;
        EXPECT_FALSE(resources.addFile(text, "r", error));
        EXPECT_EQ(error, message);
        EXPECT_TRUE(resources.empty());   // nothing of a failed file is kept
    }
}

TEST(ModuleResources, RefusesAnIdThatAnEarlierFileTook) {
    host::ModuleResources resources;
    std::string error;
    ASSERT_TRUE(resources.addFile("strings 7 \"a\"\n 1 \"x\"\nend\n", "first", error));
    EXPECT_FALSE(resources.addFile("strings 8 \"b\"\nend\nstrings 7 \"c\"\nend\n", "second", error));
    EXPECT_EQ(error, "second:3: string list 7 is defined twice");
    EXPECT_EQ(resources.stringList(8), nullptr);
    EXPECT_EQ(*resources.string(7, 1), "x");
}

}   // namespace
