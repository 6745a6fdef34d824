#pragma once

#include "render/ShaderFailure.h"

// The failure out-parameter of a program load that the test expects to work:
// passed as MustBuild(), it fails the test, with the loader's lines, at the
// end of the statement when the load failed.
class MustBuild {
public:
    MustBuild() = default;
    ~MustBuild();
    operator ShaderFailure&() { return failure; }

private:
    ShaderFailure failure;
};
