// Display texts of a full walk reply and the serialised form of a value
// tree: the work a result pane or a saved object list does per refresh.

#include <benchmark/benchmark.h>

#include <vector>

#include "snmpval/CSnmpValues.h"

namespace {

// A GetResponse as large as the engine's receive buffer allows: bindings of
// ifTable-like rows (OID, then a counter, an octet string or an address).
CSnmpBer BigReply()
{
    CSnmpBer list;
    list.SetTag(CSnmpBer::TagSequence);
    for (unsigned long row = 1; list.GetBufferSize() < 7800; ++row) {
        unsigned long arcs[] = {1, 3, 6, 1, 2, 1, 2, 2, 1, 10, row};
        CSnmpBer name, value, binding;
        name.SetOid(arcs, 11);
        switch (row % 3) {
        case 0: value.SetULong(4000000000UL - row, CSnmpBer::TagCounter); break;
        case 1: {
            const unsigned char mac[] = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, (unsigned char)row};
            value.Set(CSnmpBer::TagOctetString, 6, mac);
            break;
        }
        default: {
            const unsigned char ip[] = {192, 0, 2, (unsigned char)row};
            value.Set(CSnmpBer::TagIpAddress, 4, ip);
        }
        }
        binding.SetTag(CSnmpBer::TagSequence);
        binding.AddBer(name);
        binding.AddBer(value);
        list.AddBer(binding);
    }
    CSnmpBer pdu, n;
    pdu.SetTag(CSnmpBer::TagGetResponse);
    n.SetLong(42);
    pdu.AddBer(n);
    n.SetLong(0);
    pdu.AddBer(n);
    pdu.AddBer(n);
    pdu.AddBer(list);
    return pdu;
}

void BM_DisplayWalkReply(benchmark::State& state)
{
    CSnmpBer reply = BigReply();
    size_t chars = 0;
    for (auto _ : state) {
        CSnmpString text = reply.GetString(1);
        chars = size_t(text.GetLen());
        benchmark::DoNotOptimize(text.GetStr());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * reply.GetBufferSize());
    state.counters["octets"] = reply.GetBufferSize();
    state.counters["chars"] = double(chars);
}
BENCHMARK(BM_DisplayWalkReply);

void BM_DisplayOneValue(benchmark::State& state)
{
    CSnmpBer ticks;
    ticks.SetULong(123456789, CSnmpBer::TagTimeTicks);
    for (auto _ : state)
        benchmark::DoNotOptimize(ticks.GetString(1));
}
BENCHMARK(BM_DisplayOneValue);

void BM_SerialiseObjectList(benchmark::State& state)
{
    // A saved list of user objects: name, OID text, colour, time per row.
    CSnmpArray rows;
    for (int i = 0; i < state.range(0); ++i) {
        CSnmpArray row;
        row << CSnmpString(u"インターフェース受信オクテット") << CSnmpString("1.3.6.1.2.1.2.2.1.10.1")
            << CSnmpLong(0x00FF8000UL) << CSnmpTime(2024, 5, 1, 12, 30);
        rows.Add(row);
    }
    std::vector<unsigned char> block(size_t(rows.DataSize()));
    std::string sig = rows.TypeStr();
    for (auto _ : state) {
        rows.DataTo(block.data());
        const char* cur = sig.c_str();
        int used = 0;
        CSnmpData* back = CSnmpData::CreateFromData(block.data(), int(block.size()), cur, &used);
        benchmark::DoNotOptimize(used);
        delete back;
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(block.size()));
}
BENCHMARK(BM_SerialiseObjectList)->Arg(10)->Arg(1000);

}  // namespace

BENCHMARK_MAIN();
