// include-check ROOT LAYERS
// Fails (exit 1) when a unit of the tree under ROOT reaches itself through
// #include "..." lines, or a folder includes one that is not below it in
// LAYERS ("app;frame;channels;link settings;document;base;core"), and lists
// what it found. Exit 2 on wrong usage.

#include "IncludeGraph.h"

#include <filesystem>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 3 || !std::filesystem::is_directory(argv[1])) {
        std::cerr << "usage: include-check ROOT \"TOP;NEXT;...;BOTTOM\"\n";
        return 2;
    }
    using namespace includecheck;
    const UnitGraph graph = BuildUnitGraph(ReadTree(argv[1]));
    const auto circles = FindCircles(graph);
    const auto violations = FindLayerViolations(graph, ParseLayerOrder(argv[2]));
    for (const auto& circle : circles) {
        std::cout << "include circle:";
        for (std::size_t i = 0; i < circle.size(); ++i)
            std::cout << (i ? " -> " : " ") << circle[i];
        std::cout << '\n';
    }
    for (const std::string& line : violations)
        std::cout << "include against the layers: " << line << '\n';
    if (circles.empty() && violations.empty()) {
        std::cout << graph.size() << " units, no include circle, every include goes down the layers\n";
        return 0;
    }
    return 1;
}
