#include "render/ModelCache.h"

#include <map>
#include <vector>

#include "render/GeometryNode.h"
#include "render/ImportReport.h"
#include "render/RenderResources.h"

namespace {

struct CachedModel {
    std::shared_ptr<GeometryNode> model;
    ImportReport report;
};

std::map<std::string, CachedModel> models;

// Meshes whose names died with their context are kept, never deleted: their
// deletion would free whatever the next context gave the same names.
void forgetModels() {
    static auto* orphans = new std::vector<std::shared_ptr<GeometryNode>>();
    for (auto& entry : models) orphans->push_back(entry.second.model);
    models.clear();
}

[[maybe_unused]] const bool registered = RenderResources::add([] { models.clear(); }, forgetModels);

}  // namespace

std::shared_ptr<GeometryNode> ModelCache::get(const std::string& path, ShaderFailure& failure) {
    auto found = models.find(path);
    if (found != models.end()) {
        found->second.report.replay();
        return found->second.model;
    }
    CachedModel entry;
    entry.model.reset(importGeometryNode(path, failure, &entry.report));
    if (!entry.model) return nullptr;
    entry.model->reportsDeletion = false;
    return models.emplace(path, std::move(entry)).first->second.model;
}
