// quillon-passext [-r ROOT]... [--check] [--dump [T]] CONFIG
//
// Runs behind snmpd as `pass_persist ROOT quillon-passext -r ROOT CONFIG`.
// --check validates CONFIG and exits 1 on any error; --dump prints every
// instance at virtual time T (default: now) instead of serving.

#include "tests/support/passext/PassExt.h"

#include <time.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace {

double WallClock()
{
    timespec ts{};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

int Usage()
{
    std::cerr << "usage: quillon-passext [-r ROOT]... [--check] [--dump [SECONDS]] CONFIG\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<passext::Oid> roots;
    std::string configPath;
    bool check = false, dump = false;
    std::optional<double> dumpAt;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "-r" && i + 1 < argc) {
            auto oid = passext::ParseOid(argv[++i]);
            if (!oid) {
                std::cerr << "quillon-passext: bad root OID \"" << argv[i] << "\"\n";
                return 2;
            }
            roots.push_back(*oid);
        } else if (a == "--check") {
            check = true;
        } else if (a == "--dump") {
            dump = true;
            if (i + 1 < argc && argv[i + 1][0] >= '0' && argv[i + 1][0] <= '9')
                dumpAt = std::strtod(argv[++i], nullptr);
        } else if (!a.empty() && a[0] == '-') {
            return Usage();
        } else if (configPath.empty()) {
            configPath = a;
        } else {
            return Usage();
        }
    }
    if (configPath.empty())
        return Usage();

    const double started = WallClock();
    std::string text;
    bool readable = false;
    {
        std::ifstream f(configPath, std::ios::binary);
        if (f) {
            std::ostringstream ss;
            ss << f.rdbuf();
            text = ss.str();
            readable = true;
        }
    }
    if (!readable)
        std::cerr << "quillon-passext: cannot read " << configPath << "; serving nothing\n";
    passext::ParseResult parsed = passext::ParseConfig(text);
    for (const auto& e : parsed.errors)
        std::cerr << "quillon-passext: " << configPath << ": " << e << "\n";
    if (check)
        return readable && parsed.errors.empty() ? 0 : 1;

    const double origin = parsed.config.origin.value_or(started);
    passext::Model model(std::move(parsed.config));
    auto clock = [origin] {
        double t = WallClock() - origin;
        return t < 0 ? 0.0 : t;
    };

    if (dump) {
        double t = dumpAt.value_or(clock());
        for (const auto& oid : model.Objects(t)) {
            bool inside = roots.empty();
            for (const auto& r : roots)
                inside = inside || passext::HasPrefix(oid, r);
            if (!inside)
                continue;
            auto v = model.Get(oid, t);
            std::cout << passext::FormatOid(oid) << " = " << v->type << ": " << v->text << "\n";
        }
        return 0;
    }

    std::ios::sync_with_stdio(false);
    passext::Serve(model, roots, clock, std::cin, std::cout);
    return 0;
}
