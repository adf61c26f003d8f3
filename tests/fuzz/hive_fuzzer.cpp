// Feeds arbitrary bytes to the hive file parser. Besides not crashing, hanging or
// growing without bound, a text that loads must come back the same when written
// and loaded again, both with the loaded bytes kept and with every key written anew.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string>

#include "common/registry/hiveparser.h"
#include "common/registry/hivewriter.h"

namespace {

using tw::HiveKey;

[[noreturn]] void fail(const char* what, const std::string& written)
{
    std::fprintf(stderr, "hive_fuzzer: %s\n--- written ---\n%s\n---\n", what, written.c_str());
    std::abort();
}

bool sameKeptLines(const HiveKey& a, const HiveKey& b)
{
    if (a.keptLines.size() != b.keptLines.size())
        return false;
    // Writing a key anew moves its kept lines to fixed places; compare them as sets
    // of texts without their line ends.
    std::vector<std::string> left;
    std::vector<std::string> right;
    const auto strip = [](std::string_view text) {
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.remove_suffix(1);
        return std::string(text);
    };
    for (const auto& line : a.keptLines)
        left.push_back(strip(line.text));
    for (const auto& line : b.keptLines)
        right.push_back(strip(line.text));
    std::sort(left.begin(), left.end());
    std::sort(right.begin(), right.end());
    return left == right;
}

enum class KeyNames { Exact, IgnoreCase };

// True when both trees hold the same keys, values, classes, links and kept lines
// (and the same times for keys that have a block of their own). A key's spelling
// comes from the first path that names it, so when loaded blocks are written back
// in sorted order, a file that spells one key in several ways may read back with
// another of its spellings.
bool sameTree(const HiveKey& a, const HiveKey& b, KeyNames names)
{
    if ((names == KeyNames::Exact ? a.name != b.name : a.fold != b.fold) || a.className != b.className
        || a.isLink != b.isLink)
        return false;
    if (tw::needsOwnBlock(a) && a.modified != b.modified)
        return false;
    if (!sameKeptLines(a, b) || a.values.size() != b.values.size() || a.subkeys.size() != b.subkeys.size())
        return false;
    for (size_t i = 0; i < a.values.size(); ++i) {
        const auto& x = a.values[i];
        const auto& y = b.values[i];
        if (x.name != y.name || x.type != y.type || x.data != y.data)
            return false;
    }
    for (size_t i = 0; i < a.subkeys.size(); ++i)
        if (!sameTree(*a.subkeys[i], *b.subkeys[i], names))
            return false;
    return true;
}

void rewriteAll(HiveKey& key)
{
    key.rewrite = true;
    for (auto& value : key.values)
        value.raw = {};
    for (auto& subkey : key.subkeys)
        rewriteAll(*subkey);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    tw::HiveParseResult parsed = tw::HiveParser::parse(text);
    const std::string written = tw::writeHive(parsed.file);
    if (parsed.errorLine != 0)
        return 0;

    tw::HiveParseResult again = tw::HiveParser::parse(written);
    if (again.errorLine != 0)
        fail(("the written hive does not load: " + again.error).c_str(), written);
    if (!sameTree(parsed.file.root(), again.file.root(), KeyNames::IgnoreCase))
        fail("the written hive loads as another tree", written);

    rewriteAll(parsed.file.root());
    const std::string rewritten = tw::writeHive(parsed.file);
    tw::HiveParseResult fresh = tw::HiveParser::parse(rewritten);
    if (fresh.errorLine != 0)
        fail(("the hive written anew does not load: " + fresh.error).c_str(), rewritten);
    if (!sameTree(parsed.file.root(), fresh.file.root(), KeyNames::Exact))
        fail("the hive written anew loads as another tree", rewritten);
    return 0;
}
