#include "IncludeGraph.h"

#include <gtest/gtest.h>

using namespace includecheck;

namespace {

const char* kOrder = "app;frame;channels;link settings;document;base;core";

std::string Joined(const std::vector<std::string>& walk)
{
    std::string text;
    for (const std::string& unit : walk)
        text += (text.empty() ? "" : " -> ") + unit;
    return text;
}

} // namespace

TEST(IncludeCheck, CppAndHeaderAreOneUnitAndOnlyTreeFilesCount)
{
    const UnitGraph graph = BuildUnitGraph({
        {"channels/View.h", "#include \"base/Ids.h\"\n#include <QWidget>\n#include \"missing/X.h\"\n"},
        {"channels/View.cpp", "#include \"channels/View.h\"\n  #  include \"Grid.h\"\n"},
        {"channels/Grid.h", ""},
        {"base/Ids.h", ""},
    });
    EXPECT_EQ(graph.at("channels/View"), (std::set<std::string>{"base/Ids", "channels/Grid"}));
    EXPECT_TRUE(FindCircles(graph).empty());
    EXPECT_TRUE(FindLayerViolations(graph, ParseLayerOrder(kOrder)).empty());
}

TEST(IncludeCheck, ACircleThroughCppFilesIsListed)
{
    // The view's .cpp includes the document, whose .cpp includes the view's
    // header: no header includes another, yet the units form a circle.
    const UnitGraph graph = BuildUnitGraph({
        {"document/Doc.h", ""},
        {"document/Doc.cpp", "#include \"document/Doc.h\"\n#include \"channels/View.h\"\n"},
        {"channels/View.h", ""},
        {"channels/View.cpp", "#include \"channels/View.h\"\n#include \"document/Doc.h\"\n"},
        {"base/Ids.h", ""},
    });
    const auto circles = FindCircles(graph);
    ASSERT_EQ(circles.size(), 1u);
    EXPECT_EQ(Joined(circles[0]), "channels/View -> document/Doc -> channels/View");
    const auto problems = FindLayerViolations(graph, ParseLayerOrder(kOrder));
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0], "document/Doc includes channels/View: channels/ is above document/");
}

TEST(IncludeCheck, LongerCircleIsWalkedInIncludeOrder)
{
    const UnitGraph graph = BuildUnitGraph({
        {"core/a/A.h", "#include \"core/a/B.h\"\n"},
        {"core/a/B.h", "#include \"core/a/C.h\"\n"},
        {"core/a/C.h", ""},
        {"core/a/C.cpp", "#include \"core/a/A.h\"\n"},
        {"core/a/D.h", "#include \"core/a/A.h\"\n"},
    });
    const auto circles = FindCircles(graph);
    ASSERT_EQ(circles.size(), 1u);
    EXPECT_EQ(Joined(circles[0]), "core/a/A -> core/a/B -> core/a/C -> core/a/A");
}

TEST(IncludeCheck, SidewaysAndUnknownFoldersAreViolations)
{
    const UnitGraph graph = BuildUnitGraph({
        {"link/Port.cpp", "#include \"settings/Dlg.h\"\n"},
        {"settings/Dlg.h", "#include \"core/x/Y.h\"\n"},
        {"core/x/Y.h", ""},
        {"tools/Z.h", "#include \"core/x/Y.h\"\n"},
        {"app/Main.cpp", "#include \"frame/Frame.h\"\n#include \"core/x/Y.h\"\n"},
        {"frame/Frame.h", ""},
    });
    const auto problems = FindLayerViolations(graph, ParseLayerOrder(kOrder));
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0], "link/Port includes settings/Dlg: settings/ is beside link/");
    EXPECT_EQ(problems[1], "tools/ is not in the order of layers");
}

TEST(IncludeCheck, LayerOrderParsing)
{
    const LayerOrder order = ParseLayerOrder("app; frame ;link settings;a,b;;core");
    ASSERT_EQ(order.layers.size(), 5u);
    EXPECT_EQ(order.layers[2], (std::set<std::string>{"link", "settings"}));
    EXPECT_EQ(order.layers[3], (std::set<std::string>{"a", "b"}));
}
