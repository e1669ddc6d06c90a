#include "mibcore/engine/SnmpMessage.h"

#include "mibcore/engine/SnmpData.h"
#include "mibcore/engine/SnmpReply.h"
#include "snmpval/Cp932.h"

namespace snmpengine {

long VersionField(const MIBAgent& agent)
{
    return static_cast<long>(agent.getVersion());
}

const std::string& CommunityFor(MIBAgent& agent, unsigned char pduType)
{
    static const std::string none;
    if (pduType == CSnmpBer::TagGetRequest || pduType == CSnmpBer::TagGetNextRequest ||
        pduType == CSnmpBer::TagGetBulkRequest)
        return agent.getReadCommunity();
    if (pduType == CSnmpBer::TagSetRequest)
        return agent.getWriteCommunity();
    return none;
}

void BuildRequest(MIBAgent& agent, const RequestPdu& pdu, const CSnmpBer& bindings, CSnmpBer& message)
{
    // The wire carries the narrow (CP932) form.
    const std::string community = cp932::FromUtf8(CommunityFor(agent, pdu.type));
    message.SetTag(CSnmpBer::TagSequence);
    CSnmpBer element;
    element.SetLong(VersionField(agent));
    message.AddBer(element);
    element.SetString(community.c_str());
    message.AddBer(element);
    CSnmpBer body;
    body.SetTag(pdu.type);
    element.SetLong(pdu.requestId);
    body.AddBer(element);
    element.SetLong(pdu.field1);
    body.AddBer(element);
    element.SetLong(pdu.field2);
    body.AddBer(element);
    body.AddBer(bindings);
    message.AddBer(body);
}

bool AnswersRequest(const MIBAgent& agent, const Reply& reply, int requestId)
{
    // Our own request reflected back, a trap or a SetRequest with the same
    // id is not the answer; neither is a message of another version.
    return reply.requestId == requestId && reply.version == VersionField(agent) &&
           reply.pduType == CSnmpBer::TagGetResponse;
}

int ResultOfStatus(const MIBAgent& agent, long errorStatus)
{
    // Only the agent's own codes: anything else would pose as an engine
    // code or fall outside the message table.
    if (errorStatus >= TooBig && errorStatus <= GenErr)
        return static_cast<int>(errorStatus);
    if (SpeaksBulk(agent) && errorStatus >= 6 && errorStatus <= 18)
        return static_cast<int>(AgentStatusBase + errorStatus);
    return GenErr;
}

bool SpeaksBulk(const MIBAgent& agent)
{
    return agent.getVersion() != MIBAgent::Version::V1;
}

}  // namespace snmpengine
