#include "release/FetchUrl.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

namespace {

// The transfer library is initialised once for the test program, as main does for the program.
class CurlEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ::setenv("no_proxy", "127.0.0.1", 1); // the loopback server is never reached through a proxy
        scope_ = std::make_unique<CurlGlobalScope>();
    }
    void TearDown() override { scope_.reset(); }

private:
    std::unique_ptr<CurlGlobalScope> scope_;
};

[[maybe_unused]] ::testing::Environment* const theCurlEnvironment =
    ::testing::AddGlobalTestEnvironment(new CurlEnvironment);

} // namespace
