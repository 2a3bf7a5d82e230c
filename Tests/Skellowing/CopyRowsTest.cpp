// Whether a copy of the table's file holds a row the table lacks, which decides whether any clean-up may
// remove it: rows are compared whole, and a copy whose rows cannot be known is kept.
#include <string>

#include <gtest/gtest.h>

#include "Skellowing/CopyRows.h"
#include "SkellowingFixture.h"

namespace {

using CopyRows = SkellowingFixture;

// A table with one row in a configuration, the row's own elements given.
std::string tableWith(const std::string& list, const std::string& row) {
    return "<objectMap>\n<specificationList sourceName='" + list +
           "' objectType='IFC'>\n<objectSpecification>" + row +
           "</objectSpecification>\n</specificationList>\n</objectMap>\n";
}

TEST_F(CopyRows, ACopyMayGoOnlyWhenTheTableHoldsEveryRowOfItWhole) {
    const std::string row =
        "<originalName>Chair</originalName><mappedName>Chair 22</mappedName>"
        "<mappedObjectGuid>{1}</mappedObjectGuid><customParameters><parameter name='A' "
        "type='length'><value>0.6</value></parameter></customParameters>";
    const std::string table = tableWith("Site", row);
    const std::string more =   // the table with a second row and a configuration more
        "<objectMap>\n<specificationList sourceName='Site' objectType='IFC'>\n<objectSpecification>"
        "<originalName>Desk</originalName></objectSpecification>\n<objectSpecification>" +
        row +
        "</objectSpecification>\n</specificationList>\n<specificationList sourceName='Other' "
        "objectType='GSM'/>\n</objectMap>";
    const struct {
        const char* what;
        std::string table;
        std::string copy;
        bool mayGo;
    } cases[] = {
        {"an empty copy", table, "", true},
        {"the start of the table's text", table, table.substr(0, 70), true},
        {"the same rows", more, "\n" + table, true},
        {"fewer rows than the table", more, table, true},
        {"a row the table lacks", table, more, false},
        {"another mapping", table,
         tableWith("Site",
                   "<originalName>Chair</originalName><mappedName>Chair 23</mappedName>"
                   "<mappedObjectGuid>{1}</mappedObjectGuid><customParameters><parameter name='A' "
                   "type='length'><value>0.6</value></parameter></customParameters>"),
         false},
        {"another GUID", table,
         tableWith("Site",
                   "<originalName>Chair</originalName><mappedName>Chair 22</mappedName>"
                   "<mappedObjectGuid>{2}</mappedObjectGuid><customParameters><parameter name='A' "
                   "type='length'><value>0.6</value></parameter></customParameters>"),
         false},
        {"another parameter value", table,
         tableWith("Site",
                   "<originalName>Chair</originalName><mappedName>Chair 22</mappedName>"
                   "<mappedObjectGuid>{1}</mappedObjectGuid><customParameters><parameter name='A' "
                   "type='length'><value>0.7</value></parameter></customParameters>"),
         false},
        {"the row in another configuration", table, tableWith("Showroom", row), false},
        {"a configuration the table lacks, with no row", table,
         "<objectMap>\n<specificationList sourceName='Plan B' objectType='IFC'/>\n</objectMap>", false},
        {"a copy cut short", more, table.substr(0, table.size() - 20), false},
        {"a copy whose read leaves something out", more, tableWith("Site", row + "<colour/>"), false},
        {"a table that cannot be read", "<objectMap>", table, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(skellow::tableHoldsEveryRowOf(c.table, c.copy), c.mayGo);
    }
}

}   // namespace
