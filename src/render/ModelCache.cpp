#include "render/ModelCache.h"

#include <map>
#include <vector>

#include "render/GeometryNode.h"
#include "render/RenderResources.h"

namespace {

std::map<std::string, std::shared_ptr<GeometryNode>> models;

// Meshes whose names died with their context are kept, never deleted: their
// deletion would free whatever the next context gave the same names.
void forgetModels() {
    static auto* orphans = new std::vector<std::shared_ptr<GeometryNode>>();
    for (auto& entry : models) orphans->push_back(entry.second);
    models.clear();
}

[[maybe_unused]] const bool registered = RenderResources::add([] { models.clear(); }, forgetModels);

}  // namespace

std::shared_ptr<GeometryNode> ModelCache::get(const std::string& path) {
    auto found = models.find(path);
    if (found != models.end()) return found->second;
    std::shared_ptr<GeometryNode> model(importGeometryNode(path));
    if (model) models[path] = model;
    return model;
}
