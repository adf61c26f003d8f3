#include "common/registry/hivewriter.h"

#include <vector>

#include "common/registry/hivevalueformat.h"
#include "common/registry/regescape.h"

namespace tw {
namespace {

// Loaded text may end without a line end (the file's last line); anything written
// after it must start on a line of its own.
void appendText(std::string& out, std::string_view text, std::string_view lineEnd)
{
    if (text.empty())
        return;
    if (!out.empty() && out.back() != '\n')
        out += lineEnd;
    out += text;
}

void appendKeyPath(std::string& out, const HiveKey& key)
{
    std::vector<const HiveKey*> chain;
    for (const HiveKey* k = &key; k->parent; k = k->parent)
        chain.push_back(k);
    for (size_t i = chain.size(); i-- > 0;) {
        appendEscaped(out, chain[i]->name, '[', ']');
        if (i > 0)
            out += "\\\\";
    }
}

void appendKeptLines(std::string& out, const HiveKey& key, bool beforeValues, std::string_view lineEnd)
{
    for (const HiveKeptLine& kept : key.keptLines)
        if (kept.beforeValues == beforeValues)
            appendText(out, kept.text, lineEnd);
}

void appendKey(std::string& out, const HiveKey& key, std::string_view lineEnd)
{
    // A key that did not change keeps its block, or its lack of one.
    if (!key.rewrite)
        appendText(out, key.block, lineEnd);
    else if (needsOwnBlock(key))
        appendKeyBlock(out, key, lineEnd);
    for (const auto& subkey : key.subkeys)
        appendKey(out, *subkey, lineEnd);
}

} // namespace

void appendKeyBlock(std::string& out, const HiveKey& key, std::string_view lineEnd)
{
    if (!out.empty() && out.back() != '\n')
        out += lineEnd;
    out += lineEnd;
    out += '[';
    appendKeyPath(out, key);
    out += "] ";
    out += std::to_string(unixSecondsFromFiletime(key.modified));
    out += lineEnd;
    appendTimeOption(out, key.modified);
    out += lineEnd;
    if (key.className) {
        out += "#class=\"";
        appendEscaped(out, *key.className, '"', '"');
        out += '"';
        out += lineEnd;
    }
    if (key.isLink) {
        out += "#link";
        out += lineEnd;
    }
    appendKeptLines(out, key, true, lineEnd);
    for (const HiveValue& value : key.values) {
        if (!value.raw.empty())
            appendText(out, value.raw, lineEnd);
        else {
            if (out.back() != '\n')
                out += lineEnd;
            appendValueLines(out, value, lineEnd);
        }
    }
    appendKeptLines(out, key, false, lineEnd);
}

std::string writeHive(const HiveFile& file)
{
    std::string out;
    out.reserve(file.sourceSize() + 4096);
    out += file.header();
    appendKey(out, file.root(), file.lineEnd());
    appendText(out, file.trailer(), file.lineEnd());
    return out;
}

} // namespace tw
