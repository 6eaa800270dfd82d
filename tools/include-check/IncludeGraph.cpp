#include "IncludeGraph.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

namespace includecheck {
namespace {

std::string UnitOf(const std::string& path)
{
    const auto dot = path.rfind('.');
    const auto slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return path;
    return path.substr(0, dot);
}

std::string FolderOf(const std::string& unit)
{
    return unit.substr(0, unit.find('/'));
}

// The quoted names of the #include lines of a file.
std::vector<std::string> QuotedIncludes(const std::string& text)
{
    std::vector<std::string> names;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::size_t i = line.find_first_not_of(" \t");
        if (i == std::string::npos || line[i] != '#')
            continue;
        i = line.find_first_not_of(" \t", i + 1);
        if (i == std::string::npos || line.compare(i, 7, "include") != 0)
            continue;
        const auto open = line.find('"', i + 7);
        if (open == std::string::npos)
            continue;
        const auto close = line.find('"', open + 1);
        if (close != std::string::npos)
            names.push_back(line.substr(open + 1, close - open - 1));
    }
    return names;
}

std::string Normalise(const std::string& path)
{
    return std::filesystem::path(path).lexically_normal().generic_string();
}

} // namespace

UnitGraph BuildUnitGraph(const std::map<std::string, std::string>& files)
{
    UnitGraph graph;
    for (const auto& [path, text] : files) {
        const std::string unit = UnitOf(path);
        auto& edges = graph[unit];
        const std::string folder = std::filesystem::path(path).parent_path().generic_string();
        for (const std::string& name : QuotedIncludes(text)) {
            std::string target = Normalise(name);
            if (!files.count(target))
                target = Normalise(folder.empty() ? name : folder + "/" + name);
            if (!files.count(target))
                continue;
            const std::string to = UnitOf(target);
            if (to != unit)
                edges.insert(to);
        }
    }
    return graph;
}

std::vector<std::vector<std::string>> FindCircles(const UnitGraph& graph)
{
    // Tarjan's strongly connected components.
    std::map<std::string, int> index, low;
    std::set<std::string> onStack;
    std::vector<std::string> stack;
    std::vector<std::set<std::string>> groups;
    int next = 0;
    std::function<void(const std::string&)> visit = [&](const std::string& unit) {
        index[unit] = low[unit] = next++;
        stack.push_back(unit);
        onStack.insert(unit);
        if (const auto it = graph.find(unit); it != graph.end()) {
            for (const std::string& to : it->second) {
                if (!index.count(to)) {
                    visit(to);
                    low[unit] = std::min(low[unit], low[to]);
                } else if (onStack.count(to)) {
                    low[unit] = std::min(low[unit], index[to]);
                }
            }
        }
        if (low[unit] == index[unit]) {
            std::set<std::string> group;
            std::string member;
            do {
                member = stack.back();
                stack.pop_back();
                onStack.erase(member);
                group.insert(member);
            } while (member != unit);
            if (group.size() > 1)
                groups.push_back(group);
        }
    };
    for (const auto& entry : graph)
        if (!index.count(entry.first))
            visit(entry.first);

    // Each group as one walk from its first unit back to it, through units
    // of the group only (a breadth-first shortest way round), followed by
    // the rest of the group's members.
    std::vector<std::vector<std::string>> circles;
    for (const auto& group : groups) {
        const std::string& start = *group.begin();
        std::map<std::string, std::string> cameFrom;
        std::vector<std::string> queue{start};
        bool closed = false;
        std::string last;
        for (std::size_t q = 0; q < queue.size() && !closed; ++q) {
            const std::string current = queue[q];
            for (const std::string& to : graph.at(current)) {
                if (!group.count(to))
                    continue;
                if (to == start) {
                    last = current;
                    closed = true;
                    break;
                }
                if (!cameFrom.count(to)) {
                    cameFrom[to] = current;
                    queue.push_back(to);
                }
            }
        }
        std::vector<std::string> walk;
        for (std::string at = last; at != start; at = cameFrom.at(at))
            walk.push_back(at);
        walk.push_back(start);
        std::reverse(walk.begin(), walk.end());
        walk.push_back(start);
        for (const std::string& member : group)
            if (std::find(walk.begin(), walk.end(), member) == walk.end())
                walk.push_back("(also " + member + ")");
        circles.push_back(walk);
    }
    return circles;
}

LayerOrder ParseLayerOrder(const std::string& text)
{
    LayerOrder order;
    std::stringstream layers(text);
    std::string layer;
    while (std::getline(layers, layer, ';')) {
        std::replace(layer.begin(), layer.end(), ',', ' ');
        std::istringstream names(layer);
        std::set<std::string> folders;
        std::string name;
        while (names >> name)
            folders.insert(name);
        if (!folders.empty())
            order.layers.push_back(folders);
    }
    return order;
}

std::vector<std::string> FindLayerViolations(const UnitGraph& graph, const LayerOrder& order)
{
    auto layerOf = [&](const std::string& folder) {
        for (std::size_t i = 0; i < order.layers.size(); ++i)
            if (order.layers[i].count(folder))
                return static_cast<int>(i);
        return -1;
    };
    std::vector<std::string> problems;
    std::set<std::string> unknown;
    for (const auto& [unit, edges] : graph) {
        const std::string from = FolderOf(unit);
        const int fromLayer = layerOf(from);
        if (fromLayer < 0) {
            unknown.insert(from);
            continue;
        }
        for (const std::string& to : edges) {
            const std::string toFolder = FolderOf(to);
            if (toFolder == from)
                continue;
            const int toLayer = layerOf(toFolder);
            if (toLayer < 0) {
                unknown.insert(toFolder);
            } else if (toLayer <= fromLayer) {
                problems.push_back(unit + " includes " + to + ": " + toFolder + "/ is " +
                                   (toLayer == fromLayer ? "beside" : "above") + " " + from + "/");
            }
        }
    }
    for (const std::string& folder : unknown)
        problems.push_back(folder + "/ is not in the order of layers");
    return problems;
}

std::map<std::string, std::string> ReadTree(const std::string& root)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file())
            continue;
        const std::string extension = entry.path().extension().string();
        if (extension != ".h" && extension != ".cpp")
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        files[std::filesystem::relative(entry.path(), root).generic_string()] = text.str();
    }
    return files;
}

} // namespace includecheck
