#include "common/registry/hiveparser.h"

#include <algorithm>
#include <unordered_map>

#include "common/base/text.h"
#include "common/registry/hivelines.h"
#include "common/registry/hivevalueformat.h"
#include "common/registry/hivevalueparser.h"
#include "common/registry/namefold.h"
#include "common/registry/regescape.h"

namespace tw {
namespace {

constexpr std::string_view HiveSignature = "WINE REGISTRY Version 2";

std::string_view trimRight(std::string_view text)
{
    while (!text.empty() && isHiveBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Splits a decoded key path at its backslashes. Like Wine, empty names between
// separators are skipped.
std::vector<std::u16string> splitPath(std::u16string_view path)
{
    std::vector<std::u16string> names;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(u'\\', start);
        if (end == std::u16string_view::npos)
            end = path.size();
        if (end > start)
            names.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

} // namespace

// Reads the lines of one file into a HiveFile; see HiveParser for what it accepts.
class HiveParserRun {
public:
    HiveParserRun(HiveFile& file, std::string_view text) : m_file(file), m_lines(text) {}

    void run();

    int errorLine = 0;
    std::string error;

    // Offset just past the last line that belongs to the header or a key block.
    size_t contentEnd = 0;
    size_t headerEnd = std::string_view::npos;

private:
    bool fail(std::string what, int line = 0)
    {
        errorLine = line ? line : m_lines.number();
        error = std::move(what);
        return false;
    }
    bool startKey(std::string_view line, size_t indent);
    void finishKey();
    bool keyOption(std::string_view line);
    bool value(size_t indent);
    HiveKey* findOrAddPath(std::vector<std::u16string>& names);
    HiveKey* findChild(HiveKey& parent, const std::u16string& fold);
    void sortOutOfOrderKeys();

    HiveFile& m_file;
    HiveLines m_lines;
    HiveKey* m_key = nullptr;
    size_t m_blockStart = 0;
    bool m_duplicate = false;
    bool m_sawTime = false;
    uint64_t m_lineSeconds = 0;
    bool m_hasLineSeconds = false;
    // The names and keys of the previous key line: consecutive keys mostly share a
    // path prefix, which then needs no lookup.
    std::vector<std::u16string> m_previousNames;
    std::vector<HiveKey*> m_previousKeys;
    // Keys whose subkeys or values came out of order: they are appended and found
    // through these maps, then sorted once at the end, so that a file in any order
    // loads in time proportional to its size.
    std::unordered_map<const HiveKey*, std::unordered_map<std::u16string, HiveKey*>> m_subkeyMaps;
    std::unordered_map<const HiveKey*, std::unordered_map<std::u16string, size_t>> m_valueMaps;
};

HiveKey* HiveParserRun::findChild(HiveKey& parent, const std::u16string& fold)
{
    if (const auto map = m_subkeyMaps.find(&parent); map != m_subkeyMaps.end()) {
        const auto it = map->second.find(fold);
        return it == map->second.end() ? nullptr : it->second;
    }
    if (parent.subkeys.empty() || parent.subkeys.back()->fold < fold)
        return nullptr;
    if (HiveKey* found = parent.findSubkey(fold))
        return found;
    auto& map = m_subkeyMaps[&parent];
    for (const auto& subkey : parent.subkeys)
        map.emplace(subkey->fold, subkey.get());
    return nullptr;
}

void HiveParserRun::sortOutOfOrderKeys()
{
    for (auto& [key, map] : m_subkeyMaps) {
        auto& subkeys = const_cast<HiveKey*>(key)->subkeys;
        std::sort(subkeys.begin(), subkeys.end(),
            [](const std::unique_ptr<HiveKey>& a, const std::unique_ptr<HiveKey>& b) { return a->fold < b->fold; });
    }
    for (auto& [key, map] : m_valueMaps) {
        auto& values = const_cast<HiveKey*>(key)->values;
        std::sort(values.begin(), values.end(), [](const HiveValue& a, const HiveValue& b) { return a.fold < b.fold; });
    }
    m_subkeyMaps.clear();
    m_valueMaps.clear();
}

HiveKey* HiveParserRun::findOrAddPath(std::vector<std::u16string>& names)
{
    HiveKey* key = &m_file.root();
    size_t shared = 0;
    while (shared < names.size() && shared < m_previousNames.size() && names[shared] == m_previousNames[shared]) {
        key = m_previousKeys[shared];
        ++shared;
    }
    m_previousNames.resize(shared);
    m_previousKeys.resize(shared);
    for (size_t i = shared; i < names.size(); ++i) {
        std::u16string fold = foldName(names[i]);
        if (HiveKey* found = findChild(*key, fold)) {
            key = found;
        } else {
            auto child = std::make_unique<HiveKey>();
            child->name = names[i];
            child->fold = std::move(fold);
            child->parent = key;
            HiveKey* raw = child.get();
            if (const auto map = m_subkeyMaps.find(key); map != m_subkeyMaps.end())
                map->second.emplace(raw->fold, raw);
            key->subkeys.push_back(std::move(child));
            key = raw;
        }
        m_previousNames.push_back(std::move(names[i]));
        m_previousKeys.push_back(key);
    }
    return key;
}

bool HiveParserRun::startKey(std::string_view line, size_t indent)
{
    size_t pos = indent + 1;
    std::u16string path;
    if (!parseEscaped(line, pos, ']', path))
        return fail("the key name has no closing \"]\"");
    std::vector<std::u16string> names = splitPath(path);
    if (names.size() > HiveParser::MaxKeyDepth)
        return fail("the key is nested more than 512 levels deep");

    m_key = findOrAddPath(names);
    m_duplicate = !m_key->block.empty();
    if (m_duplicate)
        m_key->rewrite = true;
    // A placeholder until the block's end is known, so a repeated path is noticed.
    m_key->block = line;
    m_blockStart = contentEnd;
    m_sawTime = false;

    pos = skipHiveBlanks(line, pos);
    m_hasLineSeconds = false;
    m_lineSeconds = 0;
    size_t digits = 0;
    while (pos < line.size() && line[pos] >= '0' && line[pos] <= '9' && digits < 20) {
        m_lineSeconds = m_lineSeconds * 10 + static_cast<uint64_t>(line[pos++] - '0');
        ++digits;
    }
    m_hasLineSeconds = digits > 0;
    return true;
}

void HiveParserRun::finishKey()
{
    if (!m_key)
        return;
    if (!m_sawTime && m_hasLineSeconds)
        m_key->modified = filetimeFromUnixSeconds(m_lineSeconds);
    if (!m_duplicate)
        m_key->block = m_lines.text().substr(m_blockStart, contentEnd - m_blockStart);
    m_key = nullptr;
}

bool HiveParserRun::keyOption(std::string_view line)
{
    if (line.substr(0, 6) == "#time=") {
        uint64_t time = 0;
        size_t pos = 6;
        size_t digits = 0;
        while (pos < line.size() && hexDigitValue(line[pos]) >= 0 && digits <= 16) {
            time = (time << 4) | static_cast<uint64_t>(hexDigitValue(line[pos++]));
            ++digits;
        }
        if (digits == 0 || digits > 16 || skipHiveBlanks(line, pos) != line.size())
            return fail("a malformed \"#time\" option");
        m_key->modified = time;
        m_sawTime = true;
        return true;
    }
    if (line.substr(0, 7) == "#class=") {
        size_t pos = 7;
        std::u16string className;
        if (pos >= line.size() || line[pos] != '"')
            return fail("a malformed \"#class\" option");
        ++pos;
        if (!parseEscaped(line, pos, '"', className) || skipHiveBlanks(line, pos) != line.size())
            return fail("a malformed \"#class\" option");
        m_key->className = std::move(className);
        return true;
    }
    if (trimRight(line) == "#link") {
        m_key->isLink = true;
        return true;
    }
    m_key->keptLines.push_back({m_lines.text().substr(m_lines.lineStart(), m_lines.nextStart() - m_lines.lineStart()),
        m_key->values.empty(), std::nullopt});
    return true;
}

bool HiveParserRun::value(size_t indent)
{
    HiveValueLine parsed = parseValueLine(m_lines, indent);
    if (parsed.kind == HiveValueLine::Kind::Error)
        return fail(std::move(parsed.error), parsed.errorLine);
    if (parsed.kind == HiveValueLine::Kind::Kept) {
        m_key->keptLines.push_back({parsed.value.raw, false, std::move(parsed.value.fold)});
        return true;
    }
    HiveValue& value = parsed.value;
    auto& values = m_key->values;
    // A repeated name replaces the earlier value, as in Wine.
    if (const auto map = m_valueMaps.find(m_key); map != m_valueMaps.end()) {
        const auto [it, added] = map->second.emplace(value.fold, values.size());
        if (added)
            values.push_back(std::move(value));
        else
            values[it->second] = std::move(value);
        return true;
    }
    if (values.empty() || values.back().fold < value.fold) {
        values.push_back(std::move(value));
        return true;
    }
    if (HiveValue* same = m_key->findValue(value.fold)) {
        *same = std::move(value);
        return true;
    }
    auto& map = m_valueMaps[m_key];
    for (size_t i = 0; i < values.size(); ++i)
        map.emplace(values[i].fold, i);
    map.emplace(value.fold, values.size());
    values.push_back(std::move(value));
    return true;
}

void HiveParserRun::run()
{
    if (m_lines.atEnd() || m_lines.line() != HiveSignature) {
        fail("the file does not start with \"WINE REGISTRY Version 2\"", 1);
        return;
    }
    contentEnd = m_lines.nextStart();
    for (m_lines.advance(); !m_lines.atEnd(); m_lines.advance()) {
        const std::string_view line = m_lines.line();
        const size_t indent = skipHiveBlanks(line, 0);
        if (indent == line.size())
            continue;
        const char first = line[indent];
        bool ok = true;
        if (first == '[') {
            if (headerEnd == std::string_view::npos)
                headerEnd = contentEnd;
            finishKey();
            ok = startKey(line, indent);
        } else if (first == ';') {
            if (m_key)
                m_key->keptLines.push_back({m_lines.text().substr(m_lines.lineStart(),
                    m_lines.nextStart() - m_lines.lineStart()), m_key->values.empty(), std::nullopt});
        } else if (first == '#') {
            if (m_key)
                ok = keyOption(line.substr(indent));
        } else if (first == '@' || first == '"') {
            ok = m_key ? value(indent) : fail("a value before the first key");
        } else {
            ok = fail("a line that is neither a key, a value nor an option");
        }
        if (!ok)
            break;
        contentEnd = m_lines.nextStart();
    }
    if (headerEnd == std::string_view::npos)
        headerEnd = contentEnd;
    finishKey();
    sortOutOfOrderKeys();
}

HiveParseResult HiveParser::parse(std::string bytes)
{
    HiveParseResult result{HiveFile(), 0, {}};
    HiveFile& file = result.file;
    file.m_source = std::make_shared<const std::string>(std::move(bytes));
    const std::string_view text = *file.m_source;

    HiveParserRun run(file, text);
    run.run();
    result.errorLine = run.errorLine;
    result.error = std::move(run.error);

    file.m_header = std::string(text.substr(0, run.headerEnd));
    file.m_trailer = std::string(text.substr(run.contentEnd));
    const size_t firstNewline = text.find('\n');
    if (firstNewline != std::string_view::npos && firstNewline > 0 && text[firstNewline - 1] == '\r')
        file.m_lineEnd = "\r\n";
    return result;
}

} // namespace tw
