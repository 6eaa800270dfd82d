#pragma once
// The include graph of a source tree, one node per unit (a .cpp and its .h
// count as one: "channels/ProgramView"), and the two rules the tree keeps:
// no unit reaches itself through includes, and a folder includes only its
// own files and those of folders below it in a given order of layers.

#include <map>
#include <set>
#include <string>
#include <vector>

namespace includecheck {

// Unit name → the units it includes (itself excluded).
using UnitGraph = std::map<std::string, std::set<std::string>>;

// files: path relative to the root ("channels/ProgramView.cpp") → contents.
// Only `#include "..."` lines that name a file of the tree count; a name is
// looked up relative to the root, then to the including file's folder.
UnitGraph BuildUnitGraph(const std::map<std::string, std::string>& files);

// Every circle: one list of units per strongly connected group of two or
// more, walked in include order and closed with its first unit again
// ("a → b → a").
std::vector<std::vector<std::string>> FindCircles(const UnitGraph& graph);

// layers: top first; each layer is one or more folder names. A unit's folder
// is the first component of its name.
struct LayerOrder
{
    std::vector<std::set<std::string>> layers;
};

// "app;frame;channels;link settings;document;base;core": layers separated by
// ';', folders of one layer by blanks or ','.
LayerOrder ParseLayerOrder(const std::string& text);

// One line per include that goes up or sideways in the order, and per
// folder that the order does not name.
std::vector<std::string> FindLayerViolations(const UnitGraph& graph, const LayerOrder& order);

// Reads every .h and .cpp under root.
std::map<std::string, std::string> ReadTree(const std::string& root);

} // namespace includecheck
