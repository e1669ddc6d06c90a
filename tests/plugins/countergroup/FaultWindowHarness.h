#pragma once
// Counter-group windows polling our fault agent, inside the namespace only:
// the peer is made afresh for each test.

#include <memory>

#include "tests/plugins/countergroup/WindowHarness.h"
#include "tests/support/faultpeer/FaultAgent.h"

namespace cgtest {

namespace fp = faultpeer;

inline const fp::Oid kUdp = {1, 3, 6, 1, 2, 1, 7};

// A scalar of a group: group.sub.0.
inline fp::Oid Scalar(const fp::Oid& group, uint32_t sub) { return fp::append(group, {sub, 0}); }

class FaultWindowTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        if (HasFatalFailure())
            return;
        QUILLON_REQUIRE_NETNS();
        peer = std::make_unique<fp::FaultAgent>();
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        peer.reset();
    }

    std::unique_ptr<fp::FaultAgent> peer;
};

}  // namespace cgtest
