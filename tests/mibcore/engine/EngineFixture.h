#pragma once
// Shared by the engine and agent tests: agent settings that are restored
// after each test, and small helpers to build and read bindings with the
// system's codec.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mibcore/agent/MIBAgent.h"
#include "mibcore/engine/CSnmpBerList.h"
#include "mibcore/engine/MIBBasicItem.h"
#include "mibcore/engine/SnmpData.h"
#include "snmpval/CSnmpBer.h"
#include "tests/support/Harness.h"
#include "tests/support/faultpeer/FaultAgent.h"

namespace enginetest {

// Every field of the current agent settings, restored after each test.
struct Snapshot {
    std::string addr, read, write;
    int send = 0, recv = 0, family = 0;
    long sec = 0, usec = 0;
    MIBAgent::Version version = MIBAgent::Version::V1;

    static Snapshot Take()
    {
        MIBAgent* a = MIBAgent::getInstance();
        return {a->getAddr(),         a->getReadCommunity(), a->getWriteCommunity(),
                a->getSendErrCnt(),   a->getRecvErrCnt(),    a->getNetworkLayerType(),
                a->getTvSec(),        a->getTvUSec(),        a->getVersion()};
    }
    void Restore() const
    {
        MIBAgent* a = MIBAgent::getInstance();
        a->setAddr(addr);
        a->setReadCommunity(read);
        a->setWriteCommunity(write);
        a->setSendErrCnt(send);
        a->setRecvErrCnt(recv);
        a->setNetworkLayerType(family);
        a->setTvSec(sec);
        a->setTvUSec(usec);
        a->setVersion(version);
    }
};

class AgentSettings : public ::testing::Test {
protected:
    void SetUp() override { saved_ = Snapshot::Take(); }
    void TearDown() override { saved_.Restore(); }

    // Point the current settings at an agent; short time-outs keep the
    // failure cases quick.
    static MIBAgent* Use(const std::string& address, int family = 2, long timeoutUs = 300000, int recvErrCnt = 0)
    {
        MIBAgent* a = MIBAgent::getInstance();
        a->setAddr(address);
        a->setNetworkLayerType(family);
        a->setReadCommunity(harness::kReadCommunity);
        a->setWriteCommunity(harness::kWriteCommunity);
        a->setTvSec(timeoutUs / 1000000);
        a->setTvUSec(timeoutUs % 1000000);
        a->setRecvErrCnt(recvErrCnt);
        return a;
    }
    static MIBAgent* Use(const faultpeer::FaultAgent& peer, long timeoutUs = 300000, int recvErrCnt = 0)
    {
        return Use(peer.address(), peer.settingsFamily(), timeoutUs, recvErrCnt);
    }

private:
    Snapshot saved_;
};

inline std::vector<unsigned long> Arcs(const std::string& dotted)
{
    std::vector<unsigned long> arcs;
    for (std::uint32_t a : faultpeer::parseOid(dotted))
        arcs.push_back(a);
    return arcs;
}

// A variable-bindings list of NULL-valued bindings.
inline CSnmpBer Bindings(const std::vector<std::string>& names)
{
    CSnmpBer list;
    list.SetTag(CSnmpBer::TagSequence);
    for (const std::string& n : names) {
        std::vector<unsigned long> arcs = Arcs(n);
        CSnmpBer name;
        name.SetOid(arcs.data(), static_cast<int>(arcs.size()));
        CSnmpBer binding;
        binding.SetTag(CSnmpBer::TagSequence);
        binding.AddBer(name);
        binding.AddBer(CSnmpBer());
        list.AddBer(binding);
    }
    return list;
}

// Element (k, part) of a bindings list as its own object (empty when
// missing).
inline CSnmpBer Member(const CSnmpBer& list, int k, int part)
{
    const int path[] = {k, part, -1};
    const unsigned char* p = list.GetSequence(path);
    return p ? CSnmpBer(p) : CSnmpBer();
}

inline std::string NameOf(const CSnmpBer& list, int k)
{
    unsigned long arcs[256];
    int n = Member(list, k, 0).GetOid(arcs, 256);
    std::string text;
    for (int i = 0; i < n; ++i)
        text += (i ? "." : "") + std::to_string(arcs[i]);
    return text;
}

inline std::string OctetsOf(const CSnmpBer& list, int k)
{
    CSnmpBer v = Member(list, k, 1);
    if (v.GetTagType() != CSnmpBer::TagOctetString)
        return {};
    return std::string(reinterpret_cast<const char*>(v.GetData()), v.GetDataLen());
}

}  // namespace enginetest
