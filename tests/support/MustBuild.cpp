#include "support/MustBuild.h"

#include <gtest/gtest.h>

MustBuild::~MustBuild() { EXPECT_FALSE(failure) << failure.lines(); }
