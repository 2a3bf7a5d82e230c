// The menu as the user sees it.
#include "EndToEndFixture.h"

namespace {

using Menu = EndToEndFixture;

TEST_F(Menu, OffersTheFiveCommandsWithTheirPrompts) {
    const ProgramRun listed = skellowHost({"menus"});
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(
        listed.out,
        "Skellowing\n"
        "  Version 1.14 build 18\n"
        "  An add-on to skellow placed objects onto other library parts, matching parameters and geometry as "
        "far as possible\n"
        "Menu \"Object Skellowing\" (string list 32500, position 13, flags 0): Tools for skellowing objects\n"
        "  1. Skellow From IFC - Skellow objects imported from IFC files\n"
        "  2. Skellow From DXF/DWG - Skellow objects imported from DXF or DWG files\n"
        "  3. Skellow From ArchiCAD - Skellow any ArchiCAD object to another part\n"
        "  4. Skellow Missing Parts - Skellow object linked to a missing library part\n"
        "  5. Skellow Legacy Parts - Skellow objects from earlier ArchiCAD libraries\n");
}

}   // namespace
