// The suites here build plain grids with persons, buildings and tasks, which
// the park registers as every park grid is made: register them once, first.
#include <gtest/gtest.h>

#include "game/park/parkgrid/park_registration.h"

namespace {

class ParkFactoryEnvironment : public ::testing::Environment {
public:
    void SetUp() override { RegisterParkFactory(); }
};

const ::testing::Environment* const kParkFactoryEnvironment =
    ::testing::AddGlobalTestEnvironment(new ParkFactoryEnvironment);

}  // namespace
