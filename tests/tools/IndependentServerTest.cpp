#include "tests/tools/PublishTestSupport.h"

#include <gmock/gmock.h>

namespace {

class IndependentServer : public tltest::PublishTest {};

} // namespace

// The published folder is plain static files: Python's own file server serves it as well.
TEST_F(IndependentServer, InstallsFromAReleaseServedByPython) {
    PutSampleRelease();
    ASSERT_EQ(RunPublish().status, 0);
    tltest::ChildProcess python({"/usr/bin/python3", "-u", "-m", "http.server", "0", "--bind", "127.0.0.1",
                                 "--directory", Output().string()});
    const std::optional<std::string> banner = python.ReadLine();
    ASSERT_TRUE(banner);
    const std::size_t url = banner->find("(http://127.0.0.1:");
    ASSERT_NE(url, std::string::npos) << *banner;
    theFileServerUrl = banner->substr(url + 1, banner->find(')', url) - url - 1);
    ASSERT_THAT(theFileServerUrl, testing::EndsWith("/"));
    InstallEverything();
    EXPECT_TRUE(server.Requests().empty()); // the loopback server of the fixture was never asked
}
