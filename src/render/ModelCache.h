#pragma once

#include <memory>
#include <string>

#include "render/ShaderFailure.h"

class GeometryNode;

// The level models (lamp, goal post), imported once per process instead of at
// every level build: an import takes 4 to 12 ms, a fifth of a level's load.
// Levels place nodes made with GeometryNode::sharing from these models.
class ModelCache {
public:
    // The model imported from `path`, or nullptr when the import fails (it is
    // tried again, and its error printed, at the next call). Every call prints
    // what an import of the file prints, so that each object placed reports
    // its model as if imported for it alone. A basic program that cannot be
    // built gives nullptr as well, with the reason in `failure`.
    static std::shared_ptr<GeometryNode> get(const std::string& path, ShaderFailure& failure);
};
